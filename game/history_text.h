#pragma once

#include <QObject>
#include <QString>

// The history of throws: one line per throw, oldest first, lines joined by CR LF, no line break
// before the first line or after the last. It outlives the history window, which only shows it
// (and lets the user edit it). Appending is amortised O(length of the new lines), never a rebuild.
class HistoryText : public QObject
{
    Q_OBJECT

public:
    const QString &text() const { return m_text; }
    bool isEmpty() const { return m_text.isEmpty(); }

    // Changes only when the text is replaced as a whole (New, a user edit); an unchanged
    // generation means the old text is still a prefix of the current one.
    quint64 generation() const { return m_generation; }

    // Adds already CR LF-joined lines at the end: after a CR LF when the text holds anything,
    // user edits included, and without one into an empty text.
    void appendLines(QString lines);
    void clear();
    // A new text as a whole (the user edited it in the history window); CR LF line breaks.
    void replace(QString text);

signals:
    // Lines were appended from `oldSize` on.
    void appended(qsizetype oldSize);
    // The text was replaced as a whole.
    void replaced();

private:
    QString m_text;
    quint64 m_generation = 0;
};

// The one history of the running program.
HistoryText &history();
