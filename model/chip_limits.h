#pragma once
// The synthesizer chip's register widths and the counter limits of each
// division mode, named once: the range rules and the solver both use them.

#include <cstdint>

namespace chip {

// Register widths in bits.
inline constexpr int kRBits = 6;
inline constexpr int kMBits = 9;
inline constexpr int kABits = 4;
inline constexpr int kKBits = 18;
inline constexpr int kEBits = 8;

// The fractional term is a 19-bit fraction: K in the upper 18 bits, the dither
// bit RAND_EN below them.
inline constexpr double kFractionalDenominator = 524288.0;  // 2^19
inline constexpr uint32_t kFractionBits = kKBits + 1;
inline constexpr uint32_t kKMax = (1u << kKBits) - 1;

// Prescaler modulus P.
inline constexpr int kModulus10_11 = 10;  // Mod Select "10/11"
inline constexpr int kModulus5_6 = 5;     // Mod Select "5/6"
inline constexpr int kModulusBypass = 1;  // prescaler bypassed: A is unused

// The main counter M: never 0, at most its 9 bits.
inline constexpr uint32_t kMMin = 1;
inline constexpr uint32_t kMMax = (1u << kMBits) - 1;  // 511

// Prescaler bypassed with a fractional term: the modulator needs room below and
// above M, by its order.
inline constexpr uint32_t kBypassMash111MMin = 4;
inline constexpr uint32_t kBypassMash111MMax = 507;
inline constexpr uint32_t kBypassMash11MMin = 2;
inline constexpr uint32_t kBypassMash11MMax = 509;

// Fractional division with the prescaler, third-order modulator (MASH 1-1-1).
inline constexpr uint32_t kMash111AMin = 3;          // the swallow counter's floor
inline constexpr uint32_t kMash111JumperInAMax = 11;
inline constexpr uint32_t kMash111MAboveA = 3;       // jumper in: M at least A + 3
// Jumper out, modulus 10: below M 9, A is raised to 3; M is at least 6, where A
// is 3; M 7 allows A up to 4 and M 8 up to 9.
inline constexpr uint32_t kMash111P10SmallM = 9;
inline constexpr uint32_t kMash111P10MMin = 6;
inline constexpr uint32_t kMash111P10M7AMax = 4;
inline constexpr uint32_t kMash111P10M8AMax = 9;
// Jumper out, modulus 5: below M 4, A is raised to 3; M is at least 3, where A
// is at most 4.
inline constexpr uint32_t kMash111P5SmallM = 4;
inline constexpr uint32_t kMash111P5MMin = 3;
inline constexpr uint32_t kMash111P5M3AMax = 4;

// Fractional division with the prescaler, second-order modulator (MASH 1-1).
inline constexpr uint32_t kMash11AMin = 1;
inline constexpr uint32_t kMash11JumperInAMax = 13;
inline constexpr uint32_t kMash11MMin = 2;
// Jumper out: below this M, A may not be 0; below the narrow M, A stays under M.
inline constexpr uint32_t kMash11P10SmallM = 9;
inline constexpr uint32_t kMash11P10NarrowM = 8;
inline constexpr uint32_t kMash11P5SmallM = 4;
inline constexpr uint32_t kMash11P5NarrowM = 3;

}  // namespace chip
