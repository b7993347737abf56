// SPDX-License-Identifier: GPL-3.0-or-later
#include "casino.h"

#include "dialogs.h"
#include "kollavo_config.h"
#include "memory_shortage.h"
#include "random_source.h"
#include "resources.h"
#include "safe_file.h"
#include "screen_fit.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[])
{
    // Before anything is written, Qt's own settings included: under a file-size limit SIGXFSZ
    // would otherwise end the program, and the game with it.
    ignoreFileSizeSignal();
    GuardedApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kollavo"));
    QApplication::setApplicationVersion(QStringLiteral(KOLLAVO_VERSION));
    // Every window of the program shows the same icon.
    QApplication::setWindowIcon(Resources::programIcon());
    // Lets Wayland docks match the window with its desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral(KOLLAVO_APP_ID));

    // The program speaks German, so Qt's own dialog buttons do too.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);


    QtDialogs dialogs;
    ClockSeededRandom random;
    Casino casino(dialogs, random);
    dialogs.setOwner(&casino);
    QObject::connect(&app, &GuardedApplication::memoryRanShort, &casino, [&dialogs] {
        dialogs.messageBox(shortageText(QStringLiteral("Der letzte Befehl wurde nicht ausgeführt.")),
                           QApplication::applicationName(), Dialogs::Icon::Warning);
    });
    // At its design position where that lies on the screen, else moved just onto it.
    ScreenFit::showOnScreen(casino);
    return QApplication::exec();
}
