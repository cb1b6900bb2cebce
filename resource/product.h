#pragma once
// The maker's and the product's names, as the About box shows them and as the
// board answers *IDN? when zrctl serves it.

inline constexpr const char* kMakerName = "Corvane";
inline constexpr const char* kProductName = "ZR3100/ZR3500 PLL Synthesizer Evaluation";
