// SPDX-License-Identifier: GPL-3.0-or-later
#include "casino.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kollavo"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    // Lets Wayland docks match the window with its desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.Kollavo"));

    // The program speaks German, so Qt's own dialog buttons do too.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    Casino casino;
    casino.show();
    return QApplication::exec();
}
