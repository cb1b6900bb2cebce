#include "model/toggle_pattern.h"

uint32_t toggle_pattern(uint32_t value, std::size_t width)
{
    uint32_t remainder = value;
    uint32_t pattern = 0;
    for (std::size_t bit = width; bit-- > 0;) {
        const uint32_t weight = uint32_t{1} << bit;
        if (remainder >= weight) {
            pattern |= weight;
            remainder -= weight;
        }
    }
    return pattern;
}
