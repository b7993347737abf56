// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes.h"

#include "casino.h"
#include "game.h"
#include "statistics_windows.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QEvent>
#include <QRegularExpression>
#include <QTest>

QString ScriptedDialogs::inputBox(const QString &prompt, const QString &title,
                                  const QString &defaultText)
{
    inputs.append({prompt, title, defaultText});
    if (whileInputOpen)
        whileInputOpen();

    if (inputAnswers.empty()) {
        // An endless re-ask would hang the test: fail loudly and hand back a valid entry.
        QTest::qFail("input box asked with no scripted answer left", __FILE__, __LINE__);
        return QStringLiteral("1");
    }
    QString answer = inputAnswers.front();
    inputAnswers.pop_front();
    return answer;
}

void ScriptedDialogs::messageBox(const QString &text, const QString &title, Icon icon)
{
    messages.append({text, title, icon});
    if (whileMessageOpen)
        whileMessageOpen();
}

QString ScriptedDialogs::saveFileName(const QStringList &filters, QString *selectedFilter,
                                      const QString &defaultSuffix)
{
    saveFilters.append(filters);
    saveSuffixes.append(defaultSuffix);
    if (whileFileDialogOpen)
        whileFileDialogOpen();
    if (saveAnswers.empty())
        return QString();
    QString answer = saveAnswers.front();
    saveAnswers.pop_front();
    QString filter = filters.value(0);
    if (!saveFilterAnswers.empty()) {
        filter = saveFilterAnswers.front();
        saveFilterAnswers.pop_front();
    }
    if (selectedFilter)
        *selectedFilter = filter;
    if (!defaultSuffix.isEmpty() && !answer.isEmpty() && QFileInfo(answer).suffix().isEmpty()) {
        static const QRegularExpression pattern(QStringLiteral("\\(\\*\\.(\\w+)"));
        const QRegularExpressionMatch match = pattern.match(filter);
        answer += u'.' + (match.hasMatch() ? match.captured(1) : defaultSuffix);
    }
    return answer;
}

bool ScriptedDialogs::printDialog(QPrinter &)
{
    ++printDialogs;
    if (whileFileDialogOpen)
        whileFileDialogOpen();
    if (printAnswers.empty())
        return false;
    const bool answer = printAnswers.front();
    printAnswers.pop_front();
    return answer;
}

namespace {
Casino *running = nullptr;
} // namespace

std::unique_ptr<Casino> startProgram(Dialogs &dialogs, RandomSource &random, PieFunction pie)
{
    auto casino = std::make_unique<Casino>(dialogs, random, std::move(pie));

    running = casino.get();
    return casino;
}

void endProgram(std::unique_ptr<Casino> &casino)
{
    if (running == casino.get())
        running = nullptr;
    casino.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

StatisticsWindows &windows()
{
    Q_ASSERT_X(running, "windows()", "no program started");
    return running->windows();
}

Game &game()
{
    Q_ASSERT_X(running, "game()", "no program started");
    return running->game();
}


QString worksheetResult(const QString &savedPath)
{
    if (QFile file(savedPath); file.open(QIODevice::ReadOnly))
        return QString::fromUtf8(file.readAll());
    return QGuiApplication::clipboard()->text();
}
