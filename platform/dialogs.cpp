// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QRegularExpression>

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

void prepareSaveDialog(QFileDialog &dialog, const QStringList &filters,
                       const QString &defaultSuffix)
{
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.value(0));
    dialog.setDefaultSuffix(defaultSuffix);
    if (defaultSuffix.isEmpty())
        return;
    // The suffix follows the filter: "bild" with the SVG filter chosen becomes "bild.svg".
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, defaultSuffix](const QString &filter) {
                         static const QRegularExpression pattern(QStringLiteral("\\(\\*\\.(\\w+)"));
                         const QRegularExpressionMatch match = pattern.match(filter);
                         dialog.setDefaultSuffix(match.hasMatch() ? match.captured(1)
                                                                  : defaultSuffix);
                     });
}

QString QtDialogs::saveFileName(const QStringList &filters, QString *selectedFilter,
                                const QString &defaultSuffix)
{
    // No title or folder of our own: the dialog starts in the folder it used last.
    QFileDialog box(m_owner);
    prepareSaveDialog(box, filters, defaultSuffix);
    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty())
        return QString();
    if (selectedFilter)
        *selectedFilter = box.selectedNameFilter();
    return box.selectedFiles().constFirst();
}

bool QtDialogs::printDialog(QPrinter &printer)
{
    QPrintDialog box(&printer, m_owner);
    return box.exec() == QDialog::Accepted;
}

QString SilentDialogs::inputBox(const QString &prompt, const QString &, const QString &defaultText)
{
    if (note)
        note(QStringLiteral("input box answered with its default: ") + prompt);
    return defaultText;
}

void SilentDialogs::messageBox(const QString &text, const QString &, Icon)
{
    if (note)
        note(QStringLiteral("message box: ") + text);
}

QString SilentDialogs::saveFileName(const QStringList &, QString *, const QString &)
{
    return saveAnswer;
}

bool SilentDialogs::printDialog(QPrinter &)
{
    return false;
}
