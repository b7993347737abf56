// SPDX-License-Identifier: GPL-3.0-or-later
#include "verlauf.h"

#include "design_font.h"
#include "history_text.h"
#include "twips.h"


#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace {
// Design: client area 4680 × 3420 twips whose top-left corner is at 1605, 6150 on the screen.
constexpr int DesignLeft = 107;
constexpr int DesignTop = 410;
constexpr int DesignWidth = 312;
constexpr int DesignHeight = 228;
} // namespace

QString historyTextOf(const QPlainTextEdit &box)
{
    // The raw text keeps what the user typed (toPlainText() would turn no-break spaces into
    // blanks); every kind of line break in the box is a CR LF in the history.
    const QString raw = box.document()->toRawText();
    const auto isBreak = [](QChar c) {
        return c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
    };
    const auto breaks = std::count_if(raw.cbegin(), raw.cend(), isBreak);
    QString text(raw.size() + breaks, Qt::Uninitialized);
    QChar *out = text.data();
    for (const QChar c : raw) {
        if (isBreak(c)) {
            *out++ = u'\r';
            *out++ = u'\n';
        } else {
            *out++ = c;
        }
    }
    return text;
}

Verlauf::Verlauf(HistoryText &history) : m_history(history), m_tfVerlauf(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("Verlauf"));
    setWindowTitle(QStringLiteral("Verlauf"));
    setGeometry(DesignLeft, DesignTop, DesignWidth, DesignHeight);

    m_tfVerlauf->setObjectName(QStringLiteral("TFVerlauf"));
    m_tfVerlauf->setAccessibleName(QStringLiteral("Verlauf"));
    m_tfVerlauf->setFont(designFont(8.25));
    m_tfVerlauf->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_tfVerlauf->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_tfVerlauf->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Form_Resize();

    connect(m_tfVerlauf->document(), &QTextDocument::contentsChanged, this,
            &Verlauf::takeUserEdit);
    const auto followHistory = [this] {
        if (isVisible() && !m_writingBox)
            showHistory();
    };
    connect(&m_history, &HistoryText::appended, this, followHistory);
    connect(&m_history, &HistoryText::replaced, this, followHistory);
}

void Verlauf::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void Verlauf::Form_Resize()
{
    Twips::setTop(*m_tfVerlauf, 0);
    Twips::setLeft(*m_tfVerlauf, 0);
    Twips::setWidth(*m_tfVerlauf, Twips::fromPixels(width()));
    Twips::setHeight(*m_tfVerlauf, Twips::fromPixels(height()));
}

void Verlauf::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    showHistory();
}


void Verlauf::showHistory()
{
    const HistoryText &h = m_history;
    if (h.generation() == m_shownGeneration && h.text().size() == m_shownSize)
        return;

    // What the program writes is never the user's to take back: with undo off while it writes,
    // the document also drops its undo stack, so Undo and Redo reach only what was typed since.
    QTextDocument *document = m_tfVerlauf->document();
    m_writingBox = true;
    document->setUndoRedoEnabled(false);
    if (h.generation() == m_shownGeneration && h.text().size() > m_shownSize) {
        // Only lines were added since the box was last brought up to date: append them,
        // following the end of the text if the user was looking at it.
        QScrollBar *bar = m_tfVerlauf->verticalScrollBar();
        const bool atEnd = bar->value() == bar->maximum();
        QTextCursor cursor(document);
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(h.text().sliced(m_shownSize));
        if (atEnd)
            bar->setValue(bar->maximum());
    } else {
        m_tfVerlauf->setPlainText(h.text());
    }
    document->setUndoRedoEnabled(true);
    m_writingBox = false;

    m_shownGeneration = h.generation();
    m_shownSize = h.text().size();
}

void Verlauf::takeUserEdit()
{
    if (m_writingBox)
        return;
    m_writingBox = true; // the history's change signal must not write the box back
    m_history.replace(historyTextOf(*m_tfVerlauf));
    m_writingBox = false;
    m_shownGeneration = m_history.generation();
    m_shownSize = m_history.text().size();
}
