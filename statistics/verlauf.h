// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class HistoryText;
class QPlainTextEdit;

// "Verlauf": the history of throws in an editable text box that fills the window. The history
// itself lives in HistoryText and outlives the window; the box shows it and writes the user's
// edits back. While the window is hidden it costs a move nothing; showing it catches up.
class Verlauf : public QWidget
{
    Q_OBJECT

public:
    // `history` is the game's; the window shows it and writes the user's edits back into it.
    explicit Verlauf(HistoryText &history);

    QPlainTextEdit &TFVerlauf() const { return *m_tfVerlauf; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void Form_Resize();
    void showHistory();
    void takeUserEdit();

    HistoryText &m_history;
    QPlainTextEdit *m_tfVerlauf;

    // What the box shows: the history of this generation up to this size (~0: nothing yet).
    quint64 m_shownGeneration = ~quint64(0);
    qsizetype m_shownSize = 0;
    bool m_writingBox = false;
};

// The box's text with CR LF line breaks, as the history holds it.
QString historyTextOf(const QPlainTextEdit &box);
