#include "model/unsigned_truncation.h"

#include <cmath>

uint32_t truncate_unsigned(double quotient)
{
    if (!std::isfinite(quotient))
        return 0;
    const double whole = std::trunc(quotient);
    // [-2^63, 2^63) is exactly the range a 64-bit signed conversion can hold.
    constexpr double two_to_63 = 9223372036854775808.0;
    if (whole < -two_to_63 || whole >= two_to_63)
        return 0;
    const auto wide = static_cast<int64_t>(whole);
    return static_cast<uint32_t>(static_cast<uint64_t>(wide));
}
