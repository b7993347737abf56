// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

// Benchmarks print medians of repeated runs, measured in one process, and compare them with
// their targets; they never fail the build.
namespace Bench {

// The median wall time of `runs` calls of `body`, in milliseconds; `prepare` runs untimed first.
template <class Prepare, class Body>
double medianMs(int runs, Prepare prepare, Body body)
{
    std::vector<double> times;
    times.reserve(static_cast<std::size_t>(runs));
    for (int i = 0; i < runs; ++i) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        body();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

template <class Body>
double medianMs(int runs, Body body)
{
    return medianMs(runs, [] {}, body);
}

// One row: name, measured value and unit ("ms", or "x" for a ratio), against `target`
// ("<= target"); a target of 0 marks a reference figure without one.
inline void report(const char *name, double value, const char *unit, double target = 0)
{
    const bool ratio = unit[0] == 'x';
    if (target <= 0) {
        std::printf("%-62s %10.3f %-3s (reference)\n", name, value, unit);
    } else {
        std::printf("%-62s %10.3f %-3s (target <= %g%s)%s\n", name, value, unit, target,
                    ratio ? "" : " ms", value <= target ? "" : "  ** above target **");
    }
    std::fflush(stdout);
}

} // namespace Bench
