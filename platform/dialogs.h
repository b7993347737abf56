#pragma once

#include <QString>

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
    // The chosen path of a save dialog with one filter; empty when cancelled.
    virtual QString saveFileName(const QString &filter) = 0;
};

// The process-wide dialogs. setDialogs() does not take ownership; nullptr restores the
// Qt implementation.
Dialogs &dialogs();
void setDialogs(Dialogs *dialogs);
