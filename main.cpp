// SPDX-License-Identifier: GPL-3.0-or-later
#include "casino.h"
#include "chart_accessibility.h"
#include "dialogs.h"
#include "kollavo_config.h"
#include "random_source.h"
#include "resources.h"
#include "screen_fit.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kollavo"));
    QApplication::setApplicationVersion(QStringLiteral(KOLLAVO_VERSION));
    // Every window of the program shows the same icon.
    QApplication::setWindowIcon(Resources::programIcon());
    // Lets Wayland docks match the window with its desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.Kollavo"));

    // The program speaks German, so Qt's own dialog buttons do too.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    installChartAccessibility();

    QtDialogs dialogs;
    ClockSeededRandom random;
    Casino casino(dialogs, random);
    dialogs.setOwner(&casino);
    // At its design position where that lies on the screen, else moved just onto it.
    ScreenFit::showOnScreen(casino);
    return QApplication::exec();
}
