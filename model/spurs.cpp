#include "model/spurs.h"

#include "model/chip_limits.h"

#include <algorithm>
#include <numeric>

int modulator_order_of(int MASH)
{
    return MASH != 0 ? 2 : 3;
}

uint32_t sub_fractional_factor(int modulator_order, uint64_t denominator)
{
    const bool by_2 = denominator % 2 == 0;
    const bool by_3 = denominator % 3 == 0;
    if (modulator_order == 2)
        return by_2 ? 2 : 1;
    if (modulator_order == 3)
        return by_2 && by_3 ? 6 : by_2 ? 2 : by_3 ? 3 : 1;
    return 1;
}

SpurOffsets spur_offsets(const RegisterSet& r)
{
    SpurOffsets s;
    if (r.N_flag == ZR3100)
        return s;
    constexpr uint64_t whole = uint64_t{1} << chip::kFractionBits;
    const uint64_t n = (2 * uint64_t{r.K_reg} + static_cast<uint64_t>(r.RAND_EN != 0)) % whole;
    if (n == 0)
        return s;
    const uint64_t common = std::gcd(n, whole);
    s.numerator = static_cast<uint32_t>(n / common);
    s.denominator = static_cast<uint32_t>(whole / common);
    s.modulator_order = modulator_order_of(r.MASH);
    s.sub_fractional_k = sub_fractional_factor(s.modulator_order, s.denominator);

    const double fc_hz = r.fc * 1e6;
    s.integer_boundary_hz = fc_hz * static_cast<double>(std::min(n, whole - n)) / static_cast<double>(whole);
    if (r.RAND_EN != 0) {
        s.spread_by_dither = true;
        return s;
    }
    s.primary_fractional_hz = fc_hz / s.denominator;
    if (s.sub_fractional_k > 1)
        s.sub_fractional_hz = fc_hz / (static_cast<double>(s.sub_fractional_k) * s.denominator);
    return s;
}

SpursInLoop spurs_inside_loop(const SpurOffsets& s, double loop_bandwidth_hz)
{
    const auto inside = [&](const std::optional<double>& offset) { return offset && *offset <= loop_bandwidth_hz; };
    return {inside(s.integer_boundary_hz), inside(s.primary_fractional_hz), inside(s.sub_fractional_hz)};
}
