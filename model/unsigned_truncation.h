#pragma once
#include <cstdint>

// A register solved from a frequency: the double quotient truncated toward zero
// to a 64-bit integer, of which the low 32 bits are the register value. So -0.5
// gives 0 and -1.0 gives 4294967295. A NaN, an infinity or a quotient outside the
// 64-bit range gives 0, which is what the x86 conversion leaves in the low 32 bits.
uint32_t truncate_unsigned(double quotient);
