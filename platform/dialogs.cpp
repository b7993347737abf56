// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>

#include <limits>

QString QtDialogs::inputBox(const QString &prompt, const QString &title,
                            const QString &defaultText)
{
    QInputDialog box(m_owner);
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

void QtDialogs::messageBox(const QString &text, const QString &title, Icon icon)
{
    QMessageBox box(icon == Icon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon, title, text,
                    QMessageBox::Ok, m_owner);
    box.exec();
}

QString QtDialogs::saveFileName(const QStringList &filters, QString *selectedFilter)
{
    // No title, default suffix or folder of our own: a name typed without an extension is used
    // exactly as typed.
    return QFileDialog::getSaveFileName(m_owner, QString(), QString(),
                                        filters.join(QStringLiteral(";;")), selectedFilter);
}

bool QtDialogs::printDialog(QPrinter &printer)
{
    QPrintDialog box(&printer, m_owner);
    return box.exec() == QDialog::Accepted;
}
