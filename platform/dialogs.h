// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

class QPrinter;
class QWidget;

// The program's modal dialogs, behind one interface so that tests can answer them: headless,
// a real exec() would block forever.
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
    // when cancelled. `selectedFilter`, when given, receives the filter the user chose.
    virtual QString saveFileName(const QStringList &filters, QString *selectedFilter = nullptr) = 0;
    // The print dialog for `printer`; true when the user chose to print.
    virtual bool printDialog(QPrinter &printer) = 0;
};

// The process-wide dialogs. setDialogs() does not take ownership; nullptr restores the
// Qt implementation.
Dialogs &dialogs();
void setDialogs(Dialogs *dialogs);
