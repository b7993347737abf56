// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

#include <functional>

// The history of throws: one line per throw, oldest first, lines joined by CR LF, no line break
// before the first line or after the last. It outlives the history window, which only shows it
// (and lets the user edit it). Appending is amortised O(length of the new lines), never a rebuild.
class HistoryText : public QObject
{
    Q_OBJECT

public:
    const QString &text() const
    {
        if (m_pendingEdit)
            takePendingEdit();
        return m_text;
    }
    bool isEmpty() const { return text().isEmpty(); }

    // Changes only when the text is replaced as a whole (New, a user edit); an unchanged
    // generation means the old text is still a prefix of the current one.
    quint64 generation() const { return m_generation; }

    // Empties the text but keeps its memory: the next game writes as many lines again.
    void clear();
    // A new text as a whole (the user edited it in the history window); CR LF line breaks.
    void replace(QString text);
    // The same as replace(), but the new text is made only when something reads it: `edit`
    // brings the text up to date in place then. An edit that comes before it is read replaces
    // the one before, so `edit` has to take both; replace() and clear() drop it.
    // A keystroke in a long history must not cost a conversion of the whole text.
    void replaceLater(std::function<void(QString &)> edit);

    // Writes lines straight into the end of the text, for the move: building them elsewhere and
    // copying them over would cost as much again. appended() is emitted when it is done.
    // bench_move: the bare loop takes 1.7-2.3x as long with QString::append per character.
    class Appender
    {
    public:
        // `expectedChars`: a hint for the room to make at once.
        Appender(HistoryText &history, qint64 expectedChars);
        ~Appender();
        Appender(const Appender &) = delete;
        Appender &operator=(const Appender &) = delete;

        // Makes room for `chars` more characters, for the put() calls of one line.
        void ensureRoom(qsizetype chars)
        {
            if (m_used + chars > m_text.size())
                grow(chars);
        }
        // Starts a line: after a CR LF unless the text is empty.
        void startLine()
        {
            if (m_used > 0) {
                m_data[m_used++] = QChar(u'\r');
                m_data[m_used++] = QChar(u'\n');
            }
        }
        void put(char16_t c) { m_data[m_used++] = QChar(c); }
        qsizetype size() const { return m_used; }
        QChar at(qsizetype position) const { return m_data[position]; }
        // Takes back what was written from `position` on.
        void truncate(qsizetype position) { m_used = position; }

    private:
        void grow(qsizetype chars);

        HistoryText &m_history;
        QString &m_text;
        QChar *m_data;
        qsizetype m_oldSize;
        qsizetype m_used;
    };

signals:
    // Lines were appended from `oldSize` on.
    void appended(qsizetype oldSize);
    // The text was replaced as a whole.
    void replaced();

private:
    void takePendingEdit() const;
    QString &settledText()
    {
        text();
        return m_text;
    }

    mutable QString m_text;
    mutable std::function<void(QString &)> m_pendingEdit;
    quint64 m_generation = 0;
};
