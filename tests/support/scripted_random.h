// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "random_source.h"

#include <QList>

#include <deque>
#include <initializer_list>
#include <new>
#include <optional>

// Hands out prepared draws in order; running out is recorded instead of blocking. Qt Core only,
// so the game's own tests can use it without the widgets.
class ScriptedRandom final : public RandomSource
{
public:
    explicit ScriptedRandom(const QList<int> &values = {}) { pushValues(values); }

    void reseed() override { ++reseeds; }
    void restart() override { ++restarts; }
    void setSeed(std::optional<quint32> s) override { seed = s; }
    float next() override
    {
        if (drawn++ == failAtDraw)
            throw std::bad_alloc();
        if (draws.empty()) {
            exhausted = true;
            return 0.5f;
        }
        const float r = draws.front();
        draws.pop_front();
        return r;
    }

    // Draws that give these die values (the middle of each value's range).
    void pushValue(int value) { draws.push_back(static_cast<float>((value - 1) * 2 + 1) / 12.0f); }
    void pushValues(const QList<int> &values)
    {
        for (int v : values)
            pushValue(v);
    }
    void pushValues(std::initializer_list<int> values) { pushValues(QList<int>(values)); }

    std::deque<float> draws;
    int reseeds = 0;
    int restarts = 0;
    std::optional<quint32> seed;
    bool exhausted = false;
    // The draw (counted from 0 over this source's life) that throws std::bad_alloc instead, as
    // an allocation in the move would; -1: none.
    int failAtDraw = -1;
    int drawn = 0;
};
