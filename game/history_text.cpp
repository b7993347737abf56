// SPDX-License-Identifier: GPL-3.0-or-later
#include "history_text.h"

#include <algorithm>
#include <new>
#include <utility>

void HistoryText::clear()
{
    m_pendingEdit = nullptr;
    m_text.truncate(0);
    ++m_generation;
    emit replaced();
}

void HistoryText::replace(QString text)
{
    m_pendingEdit = nullptr;
    m_text = std::move(text);
    ++m_generation;
    emit replaced();
}

void HistoryText::replaceLater(std::function<void(QString &)> edit)
{
    m_pendingEdit = std::move(edit);
    ++m_generation;
    emit replaced();
}

void HistoryText::takePendingEdit() const
{
    // Taken out first: the edit may read the history itself. An edit that runs out of memory
    // leaves the text as it was, and stays pending for the next reader.
    auto edit = std::exchange(m_pendingEdit, nullptr);
    try {
        edit(m_text);
    } catch (const std::bad_alloc &) {
        if (!m_pendingEdit)
            m_pendingEdit = std::move(edit);
        throw;
    }
}

HistoryText::Appender::Appender(HistoryText &history, qint64 expectedChars)
    : m_history(history),
      m_text(history.settledText()),
      m_oldSize(history.m_text.size()),
      m_used(history.m_text.size())
{
    // Room for the expected lines at once, within reason: a move of two billion throws stops
    // at the count limit long before, and the text grows geometrically anyway.
    const qint64 room = std::clamp<qint64>(expectedChars, 16, 1 << 22);
    try {
        m_text.resize(m_used + static_cast<qsizetype>(room));
    } catch (const std::bad_alloc &) {
        m_text.resize(m_used + 16); // short of memory: as much as there is, line by line
    }
    m_data = m_text.data();
}

HistoryText::Appender::~Appender()
{
    m_text.truncate(m_used);
    if (m_used > m_oldSize)
        emit m_history.appended(m_oldSize);
}

void HistoryText::Appender::grow(qsizetype chars)
{
    const qsizetype needed = m_used + chars;
    try {
        m_text.resize(std::max(m_text.size() * 2, needed));
    } catch (const std::bad_alloc &) {
        // Where doubling finds no room, a smaller step may still: still geometric.
        m_text.resize(std::max(m_text.size() + m_text.size() / 8, needed));
    }
    m_data = m_text.data();
}
