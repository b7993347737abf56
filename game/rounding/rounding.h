// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>
#include <limits>

// Where a coordinate, a die value or a typed entry becomes an integer, an exact half goes to the
// even neighbour (2.5 → 2, 3.5 → 4). std::nearbyint does exactly that in the default
// floating-point environment, which the program never changes. The numbers shown as text round
// half away from zero instead (NumberFormat).
inline double roundHalfEven(double x)
{
    return std::nearbyint(x);
}

// roundHalfEven() converted to an int, for values known to fit (pixel and chart coordinates).
// Out-of-range or NaN input saturates instead of being undefined behaviour.
inline int roundToInt(double x)
{
    const double r = std::nearbyint(x);
    if (!(r >= std::numeric_limits<int>::min()))
        return std::isnan(r) ? 0 : std::numeric_limits<int>::min();
    if (r > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    return static_cast<int>(r);
}
