// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs.h"

#include "resources.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QStringList>

#include <limits>

namespace {

class QtDialogs final : public Dialogs
{
public:
    QString inputBox(const QString &prompt, const QString &title,
                     const QString &defaultText) override
    {
        QInputDialog box(QApplication::activeWindow());
        box.setWindowTitle(title);
        box.setLabelText(prompt);
        box.setTextValue(defaultText);
        box.setInputMode(QInputDialog::TextInput);
        // The line edit would cut a long entry at 32767 characters and so read another number.
        if (auto *line = box.findChild<QLineEdit *>())
            line->setMaxLength(std::numeric_limits<int>::max());
        if (box.exec() != QDialog::Accepted)
            return QString();
        return box.textValue();
    }

    void messageBox(const QString &text, const QString &title, Icon icon) override
    {
        QMessageBox box(icon == Icon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon, title,
                        text, QMessageBox::Ok, QApplication::activeWindow());
        box.exec();
    }

    QString saveFileName(const QStringList &filters, QString *selectedFilter) override
    {
        // No title, default suffix or folder of our own: a name typed without an extension is
        // used exactly as typed.
        return QFileDialog::getSaveFileName(QApplication::activeWindow(), QString(), QString(),
                                            filters.join(QStringLiteral(";;")), selectedFilter);
    }

    bool printDialog(QPrinter &printer) override
    {
        QPrintDialog box(&printer, QApplication::activeWindow());
        return box.exec() == QDialog::Accepted;
    }
};

Dialogs *g_installed = nullptr;

} // namespace

Dialogs &dialogs()
{
    if (g_installed)
        return *g_installed;
    static QtDialogs qtDialogs;
    return qtDialogs;
}

void setDialogs(Dialogs *dialogs)
{
    g_installed = dialogs;
}
