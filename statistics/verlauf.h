// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chart_accessibility.h"

#include <QStringView>
#include <QWidget>

#include <functional>

class HistoryText;
class QLabel;
class QPlainTextEdit;
class QTextCursor;

// "Verlauf": the history of throws in an editable text box that fills the window. The history
// itself lives in HistoryText and outlives the window; the box shows it and writes the user's
// edits back. While the window is hidden it costs a move nothing; showing it catches up.
//
// The box holds the lines the program writes as soft line breaks (U+2028) in blocks of
// LinesPerBlock lines: the document pays per block, not per line, so a move, the catch-up and a
// keystroke cost what they add or show. For the user it is one line per throw all the same, and
// every kind of line break is a CR LF in the history.
class Verlauf : public QWidget, public AccessibleWindow
{
    Q_OBJECT

public:
    Kind accessibleKind() const override { return Kind::History; }
    // Lines the program writes into one block of the box.
    static constexpr int LinesPerBlock = 100;
    // A longer paste is refused: the box lays a long line out in time that grows with its
    // square (100,000 characters on one line take under a second, a million a minute). A full
    // game's history has about 11 million characters; a class's own notes are far shorter.
    static constexpr qsizetype PasteLimit = 100'000;

    // Whether this many bytes could be had now; asked before a large write into the box.
    using MemoryCheck = std::function<bool(qint64 bytes)>;
    static bool memoryAvailable(qint64 bytes);

    // `history` is the game's; the window shows it and writes the user's edits back into it.
    explicit Verlauf(HistoryText &history, MemoryCheck memoryCheck = &memoryAvailable);
    ~Verlauf() override;

    QPlainTextEdit &TFVerlauf() const { return *m_tfVerlauf; }
    // Shown above the box while the box cannot take the history for lack of memory.
    QLabel &memoryNote() const { return *m_memoryNote; }

signals:
    // A paste was refused; the German text says why.
    void pasteRefused(const QString &message);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;


private:
    void Form_Resize();
    void showHistory();
    void writeLines(QTextCursor &cursor, QStringView lines, int linesInBlock);
    bool canWrite(qsizetype boxChars, qsizetype newChars);
    void setBehind(bool behind);
    void takeUserEdit(int position, int charsAdded);
    void applyUserEdit(QString &text);

    HistoryText &m_history;
    QPlainTextEdit *m_tfVerlauf;
    QLabel *m_memoryNote;
    MemoryCheck m_memoryCheck;
    // What the box shows: the history of this generation up to this size (~0: nothing yet).
    quint64 m_shownGeneration = ~quint64(0);
    qsizetype m_shownSize = 0;
    bool m_writingBox = false;
    // Typed text the history has not taken yet: since it last did, the box has changed only
    // from m_editStart on, and not in its last m_editTail characters.
    bool m_editPending = false;
    int m_editStart = 0;
    int m_editTail = 0;
};

// The box's text with CR LF line breaks, as the history holds it.
QString historyTextOf(const QPlainTextEdit &box);
// The same for raw text of the box (block separators and soft line breaks).
QString historyTextOf(QStringView raw);
