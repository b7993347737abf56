// SPDX-License-Identifier: GPL-3.0-or-later
#include "verlauf.h"

#include "design_font.h"
#include "history_text.h"
#include "memory_probe.h"
#include "number_format.h"
#include "twips.h"


#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
// Design: client area 4680 × 3420 twips whose top-left corner is at 1605, 6150 on the screen.
constexpr int DesignLeft = 107;
constexpr int DesignTop = 410;
constexpr int DesignWidth = 312;
constexpr int DesignHeight = 228;

// A write of fewer characters is not checked: the box has room for that or nothing has.
constexpr qsizetype CheckedChars = 1 << 16;

// What the box may need for `chars` characters while it takes them: the document keeps them as
// UTF-16 in a buffer that grows by doubling, and the old buffer lives while the new one is
// filled; its blocks and their layout come on top. Measured for seven dice: the whole history of
// a game to the count limit (5.7 million characters) raised the peak by 12 MB.
qint64 memoryForBox(qsizetype chars)
{
    return 4 * static_cast<qint64>(chars) * qint64(sizeof(QChar));
}
} // namespace

bool Verlauf::memoryAvailable(qint64 bytes)
{
    return ::memoryAvailable(bytes);
}

QString historyTextOf(QStringView raw)
{
    // Every kind of line break in the box is a CR LF in the history.
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

QString historyTextOf(const QPlainTextEdit &box)
{
    // The raw text keeps what the user typed (toPlainText() would turn no-break spaces into
    // blanks).
    return historyTextOf(box.document()->toRawText());
}

namespace {

// A CR LF of the history is one character of the box, every other character is itself.
bool isCrLf(const QChar *at, const QChar *end)
{
    return at[0] == u'\r' && at + 1 != end && at[1] == u'\n';
}

#if defined(__SSE2__)
__m128i loadEight(const QChar *at)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i *>(at));
}

// How many of eight characters are one half of a CR LF: `halves` and `others` are where the
// halves and their other halves would be.
int crLfHalves(const QChar *halves, char16_t half, const QChar *others, char16_t other)
{
    const __m128i found = _mm_and_si128(_mm_cmpeq_epi16(loadEight(halves), _mm_set1_epi16(half)),
                                        _mm_cmpeq_epi16(loadEight(others), _mm_set1_epi16(other)));
    return std::popcount(static_cast<unsigned>(_mm_movemask_epi8(found))) / 2;
}
#endif

// How many characters of `text` stand for the first `boxChars` characters of the box.
qsizetype historyCharsOfStart(const QString &text, qsizetype boxChars)
{
    const QChar *const begin = text.constData();
    const QChar *const end = begin + text.size();
    const QChar *at = begin;
    const auto take = [&] {
        at += isCrLf(at, end) ? 2 : 1;
        --boxChars;
    };
    if (boxChars > 0 && at != end)
        take();
#if defined(__SSE2__)
    // Eight at a time while they fall short: each is a character of the box but the LF of a
    // CR LF. A CR LF the eight split leaves its LF behind.
    while (end - at >= 8) {
        const int chars = 8 - crLfHalves(at, u'\n', at - 1, u'\r');
        if (chars >= boxChars)
            break;
        boxChars -= chars;
        at += 8;
    }
    if (at != begin && at != end && at[-1] == u'\r' && at[0] == u'\n')
        ++at;
#endif
    while (boxChars > 0 && at != end)
        take();
    return at - begin;
}

// How many characters of `text` stand for the last `boxChars` characters of the box.
qsizetype historyCharsOfEnd(const QString &text, qsizetype boxChars)
{
    const QChar *const begin = text.constData();
    const QChar *const end = begin + text.size();
    const QChar *at = end;
    const auto take = [&] {
        at -= at - begin >= 2 && isCrLf(at - 2, end) ? 2 : 1;
        --boxChars;
    };
    if (boxChars > 0 && at != begin)
        take();
#if defined(__SSE2__)
    // As above, from the end: here the CR of a CR LF is the one that does not count.
    while (at - begin >= 8 && at != end) {
        const int chars = 8 - crLfHalves(at - 8, u'\r', at - 7, u'\n');
        if (chars >= boxChars)
            break;
        boxChars -= chars;
        at -= 8;
    }
    if (at != begin && at != end && at[-1] == u'\r' && at[0] == u'\n')
        --at;
#endif
    while (boxChars > 0 && at != begin)
        take();
    return end - at;
}

// Appends history lines to `out` as the box holds them: a CR LF is a soft line break, or a new
// block once the block has LinesPerBlock lines. `linesInBlock` counts the lines of the block
// written to, the one being written included.
void appendBoxText(QString &out, QStringView lines, int &linesInBlock)
{
    const qsizetype start = out.size();
    out.resize(start + lines.size());
    char16_t *to = reinterpret_cast<char16_t *>(out.data()) + start;
    const char16_t *at = lines.utf16();
    const char16_t *const end = at + lines.size();
    while (at != end) {
#if defined(__SSE2__)
        // Eight characters at a time up to the next CR: a third of the cost of this loop at
        // seven dice. `to` never runs ahead of `at`, so a store of eight always has room.
        const __m128i cr = _mm_set1_epi16(u'\r');
        while (end - at >= 8) {
            const __m128i chars = _mm_loadu_si128(reinterpret_cast<const __m128i *>(at));
            _mm_storeu_si128(reinterpret_cast<__m128i *>(to), chars);
            const auto crs = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(chars, cr)));
            const int plain = crs == 0 ? 8 : std::countr_zero(crs) / 2;
            at += plain;
            to += plain;
            if (plain < 8)
                break;
        }
        if (at == end)
            break;
#endif
        const char16_t c = *at++;
        if (c != u'\r' || at == end || *at != u'\n') {
            *to++ = c;
            continue;
        }
        ++at;
        if (linesInBlock >= Verlauf::LinesPerBlock) {
            *to++ = QChar::ParagraphSeparator;
            linesInBlock = 1;
        } else {
            *to++ = QChar::LineSeparator;
            ++linesInBlock;
        }
    }
    out.truncate(to - reinterpret_cast<const char16_t *>(out.constData()));
}

class HistoryBox final : public QPlainTextEdit
{
public:
    HistoryBox(QWidget *parent, std::function<void(qsizetype)> refused)
        : QPlainTextEdit(parent), m_refused(std::move(refused))
    {
    }

protected:
    // Pasting and dropping both come here.
    void insertFromMimeData(const QMimeData *source) override
    {
        if (source && source->hasText()) {
            if (const qsizetype size = source->text().size(); size > Verlauf::PasteLimit) {
                m_refused(size);
                return;
            }
        }
        QPlainTextEdit::insertFromMimeData(source);
    }

private:
    std::function<void(qsizetype)> m_refused;
};

} // namespace

Verlauf::Verlauf(HistoryText &history, MemoryCheck memoryCheck)
    : m_history(history),
      m_tfVerlauf(new HistoryBox(this,
                                 [this](qsizetype size) {
                                     emit pasteRefused(
                                         QStringLiteral("Der eingefügte Text hat %1 Zeichen. In "
                                                        "den Verlauf lassen sich höchstens %2 "
                                                        "Zeichen auf einmal einfügen; es wurde "
                                                        "nichts eingefügt.")
                                             .arg(NumberFormat::integer(size),
                                                  NumberFormat::integer(PasteLimit)));
                                 })),
      m_memoryNote(new QLabel(this)),
      m_memoryCheck(std::move(memoryCheck))
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

    m_memoryNote->setObjectName(QStringLiteral("LSpeicher"));
    m_memoryNote->setText(
        QStringLiteral("Der Arbeitsspeicher reicht nicht, um den ganzen Verlauf anzuzeigen. "
                       "Kollavo versucht es beim nächsten Wurf und beim nächsten Öffnen dieses "
                       "Fensters wieder; der Verlauf selbst ist vollständig."));
    m_memoryNote->setWordWrap(true);
    m_memoryNote->setMargin(4);
    m_memoryNote->hide();
    Form_Resize();

    connect(m_tfVerlauf->document(), &QTextDocument::contentsChange, this,
            [this](int position, int, int charsAdded) { takeUserEdit(position, charsAdded); });
    const auto followHistory = [this] {
        if (m_writingBox)
            return;
        m_editPending = false; // the history took the typed text first, or dropped it
        if (isVisible())
            showHistory();
    };
    connect(&m_history, &HistoryText::appended, this, followHistory);
    connect(&m_history, &HistoryText::replaced, this, followHistory);
}

Verlauf::~Verlauf()
{
    // The history takes what was typed while the box still exists.
    m_writingBox = true;
    if (m_editPending)
        m_history.text();
}

void Verlauf::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void Verlauf::Form_Resize()
{
    // The note, when there is one, takes the top of the window.
    const int note = m_memoryNote->isHidden() ? 0 : m_memoryNote->heightForWidth(width());
    m_memoryNote->setGeometry(0, 0, width(), note);
    Twips::setTop(*m_tfVerlauf, Twips::fromPixels(note));
    Twips::setLeft(*m_tfVerlauf, 0);
    Twips::setWidth(*m_tfVerlauf, Twips::fromPixels(width()));
    Twips::setHeight(*m_tfVerlauf, Twips::fromPixels(height() - note));
}

bool Verlauf::canWrite(qsizetype boxChars, qsizetype newChars)
{
    return newChars < CheckedChars || m_memoryCheck(memoryForBox(boxChars + newChars));
}

void Verlauf::setBehind(bool behind)
{
    // A box behind the history is not typed into: its text would replace the whole history.
    m_tfVerlauf->setReadOnly(behind);
    if (m_memoryNote->isHidden() == behind) {
        m_memoryNote->setVisible(behind);
        Form_Resize();
    }
}

void Verlauf::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    showHistory();
}


void Verlauf::showHistory()
{
    const QString &text = m_history.text();
    if (m_history.generation() == m_shownGeneration && text.size() == m_shownSize)
        return;

    // What the program writes is never the user's to take back: with undo off while it writes,
    // the document also drops its undo stack, so Undo and Redo reach only what was typed since.
    // Where memory is short, the box stays behind the history, says so and catches up at the
    // next chance, rather than letting Qt fail inside the document.
    QTextDocument *document = m_tfVerlauf->document();
    const bool append = m_history.generation() == m_shownGeneration && text.size() > m_shownSize;
    m_writingBox = true;
    document->setUndoRedoEnabled(false);
    bool written = false;
    try {
        if (append) {
            written = canWrite(document->characterCount(), text.size() - m_shownSize);
            if (written) {
                // Only lines were added since the box was last brought up to date: append
                // them, following the end of the text if the user was looking at it.
                // Without updates while it writes, the box does not lay out the blocks it
                // scrolls over to move the old picture: it is drawn anew anyway.
                QScrollBar *bar = m_tfVerlauf->verticalScrollBar();
                const bool atEnd = bar->value() == bar->maximum();
                m_tfVerlauf->viewport()->setUpdatesEnabled(false);
                QTextCursor cursor(document);
                cursor.movePosition(QTextCursor::End);
                const int linesInBlock =
                    int(document->lastBlock().text().count(QChar::LineSeparator)) + 1;
                writeLines(cursor, QStringView(text).sliced(m_shownSize), linesInBlock);
                if (atEnd)
                    bar->setValue(bar->maximum());
            }
        } else {
            // As setPlainText() of the whole text, without a second copy of it. The old text
            // goes first, also when the new one does not fit: it is not the history any more.
            m_tfVerlauf->setPlainText(QString());
            m_shownGeneration = ~quint64(0);
            written = canWrite(0, text.size());
            if (written) {
                m_tfVerlauf->viewport()->setUpdatesEnabled(false);
                QTextCursor cursor(document);
                writeLines(cursor, text, 1);
                m_tfVerlauf->moveCursor(QTextCursor::Start);
            }
        }
    } catch (const std::bad_alloc &) {
        // The check let it through, and still: what the box holds now is not to be trusted.
        m_tfVerlauf->setPlainText(QString());
        m_shownGeneration = ~quint64(0);
        written = false;
    }
    m_tfVerlauf->viewport()->setUpdatesEnabled(true);
    document->setUndoRedoEnabled(true);
    m_writingBox = false;
    setBehind(!written);
    if (!written)
        return;

    m_shownGeneration = m_history.generation();
    m_shownSize = text.size();
    m_editPending = false;
}

void Verlauf::writeLines(QTextCursor &cursor, QStringView lines, int linesInBlock)
{
    // In pieces, so that no second copy of a long move is made; one edit block, so that the
    // document lays out and reports the change once.
    constexpr qsizetype PieceChars = 1 << 16;
    QString piece;
    cursor.beginEditBlock();
    for (qsizetype from = 0; from < lines.size();) {
        qsizetype size = std::min(PieceChars, lines.size() - from);
        if (from + size < lines.size() && lines[from + size - 1] == u'\r')
            ++size; // a CR LF stays whole
        piece.truncate(0);
        appendBoxText(piece, lines.sliced(from, size), linesInBlock);
        cursor.insertText(piece);
        from += size;
    }
    cursor.endEditBlock();
}

void Verlauf::takeUserEdit(int position, int charsAdded)
{
    if (m_writingBox)
        return;
    // Only noted here: the history converts what changed when something reads it.
    const int length = m_tfVerlauf->document()->characterCount() - 1;
    const int tail = std::max(0, length - position - charsAdded);
    if (m_editPending) {
        m_editStart = std::min(m_editStart, position);
        m_editTail = std::min(m_editTail, tail);
    } else {
        // A box behind the history (it cannot be typed into then) replaces it as a whole.
        const bool inStep = m_history.generation() == m_shownGeneration
                            && m_history.text().size() == m_shownSize;
        m_editStart = inStep ? position : 0;
        m_editTail = inStep ? tail : 0;
        m_editPending = true;
    }
    m_writingBox = true; // the history's change signal must not write the box back
    m_history.replaceLater([this](QString &text) { applyUserEdit(text); });
    m_writingBox = false;
    m_shownGeneration = m_history.generation();
}

void Verlauf::applyUserEdit(QString &text)
{
    // `text` is the box as it was before the edits: only the part between the unchanged start
    // and end is converted again. Out of memory, `text` is left alone and the edit stays pending.
    QTextDocument *document = m_tfVerlauf->document();
    const int length = document->characterCount() - 1;
    const int start = std::clamp(m_editStart, 0, length);
    const int tail = std::clamp(m_editTail, 0, length - start);
    const qsizetype head = historyCharsOfStart(text, start);
    const qsizetype end = text.size() - historyCharsOfEnd(text, tail);
    QTextCursor changed(document);
    changed.setPosition(start);
    changed.setPosition(length - tail, QTextCursor::KeepAnchor);
    if (head > end) {
        text = historyTextOf(document->toRawText()); // cannot happen while both are in step
    } else {
        // In place, moving only what follows the change.
        const QString middle = historyTextOf(changed.selectedText());
        const qsizetype oldSize = text.size();
        const qsizetype newSize = oldSize - (end - head) + middle.size();
        if (newSize > oldSize)
            text.resize(newSize);
        QChar *data = text.data();
        std::memmove(data + head + middle.size(), data + end, (oldSize - end) * sizeof(QChar));
        std::copy(middle.cbegin(), middle.cend(), data + head);
        text.truncate(newSize);
    }
    m_editPending = false;
    m_shownSize = text.size();
}
