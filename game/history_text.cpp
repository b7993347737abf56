#include "history_text.h"

void HistoryText::appendLines(QString lines)
{
    if (lines.isEmpty())
        return;
    const qsizetype oldSize = m_text.size();
    if (m_text.isEmpty()) {
        m_text = std::move(lines);
    } else {
        m_text.reserve(m_text.size() + 2 + lines.size());
        m_text += u"\r\n";
        m_text += lines;
    }
    emit appended(oldSize);
}

void HistoryText::clear()
{
    replace(QString());
}

void HistoryText::replace(QString text)
{
    m_text = std::move(text);
    ++m_generation;
    emit replaced();
}

HistoryText &history()
{
    static HistoryText instance;
    return instance;
}
