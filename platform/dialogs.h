// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>

class QFileDialog;
class QPrinter;
class QWidget;

// The program's modal dialogs, behind one interface so that tests can answer them: headless,
// a real exec() would block forever. The main window receives them in its constructor and hands
// them on to the windows it shows.
class Dialogs
{
public:
    enum class Icon { None, Warning };

    virtual ~Dialogs() = default;
    // The entered text; an empty text when the user cancels or closes the box.
    virtual QString inputBox(const QString &prompt, const QString &title,
                             const QString &defaultText) = 0;
    // A message with one OK button.
    virtual void messageBox(const QString &text, const QString &title, Icon icon) = 0;
    // The chosen path of a save dialog offering `filters` (the first one preselected); empty
    // when cancelled. `selectedFilter`, when given, receives the filter the user chose. With a
    // `defaultSuffix`, a name typed without a suffix gets the chosen filter's (this one while the
    // first filter is chosen) inside the dialog, so that its question before replacing a file
    // asks about the name that will be written.
    virtual QString saveFileName(const QStringList &filters, QString *selectedFilter = nullptr,
                                 const QString &defaultSuffix = QString()) = 0;
    // The print dialog for `printer`; true when the user chose to print.
    virtual bool printDialog(QPrinter &printer) = 0;
};

// The dialogs as Qt shows them, each a child of one owner window: the main window, which lives
// as long as the program. Any other parent could be a statistics window that the user closes,
// and so deletes, while the dialog is still open.
class QtDialogs final : public Dialogs
{
public:
    void setOwner(QWidget *owner) { m_owner = owner; }

    QString inputBox(const QString &prompt, const QString &title,
                     const QString &defaultText) override;
    void messageBox(const QString &text, const QString &title, Icon icon) override;
    QString saveFileName(const QStringList &filters, QString *selectedFilter,
                         const QString &defaultSuffix) override;
    bool printDialog(QPrinter &printer) override;

private:
    QPointer<QWidget> m_owner;
};

// Dialogs that answer at once, for programs that run without a user (benchmarks, the screenshot
// tool): an entry box keeps its default text, a save dialog gives `saveAnswer` (empty: cancelled),
// the print dialog is cancelled. `note`, when set, hears every prompt and message.
class SilentDialogs final : public Dialogs
{
public:
    QString saveAnswer;
    std::function<void(const QString &)> note;

    QString inputBox(const QString &prompt, const QString &title,
                     const QString &defaultText) override;
    void messageBox(const QString &text, const QString &title, Icon icon) override;
    QString saveFileName(const QStringList &filters, QString *selectedFilter,
                         const QString &defaultSuffix) override;
    bool printDialog(QPrinter &printer) override;
};

// Sets `dialog` up as a save dialog offering `filters`, which asks before it replaces a file and,
// given a `defaultSuffix`, adds the chosen filter's suffix to a name typed without one.
void prepareSaveDialog(QFileDialog &dialog, const QStringList &filters,
                       const QString &defaultSuffix);
