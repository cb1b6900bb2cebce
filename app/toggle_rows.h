#pragma once
// Each counter register is shown twice on the main panel: as its numeric field
// and as a row of bit toggles. A toggle's constant carries its place in the
// serial word it is sent in, not its bit number; the rows below list the toggles
// from the highest weight down to weight 1.

#include "model/toggle_pattern.h"
#include "resource/New_Panel.h"

#include <cstdint>
#include <span>

inline constexpr int kRToggles[] = {PANEL_SEC_0, PANEL_SEC_1, PANEL_SEC_12, PANEL_SEC_13, PANEL_SEC_14,
                                    PANEL_SEC_15};
inline constexpr int kMToggles[] = {PANEL_SEC_2, PANEL_SEC_3, PANEL_SEC_5,  PANEL_SEC_6, PANEL_SEC_7,
                                    PANEL_SEC_8, PANEL_SEC_9, PANEL_SEC_10, PANEL_SEC_11};
inline constexpr int kAToggles[] = {PANEL_SEC_16, PANEL_SEC_17, PANEL_SEC_18, PANEL_SEC_19};
inline constexpr int kKToggles[] = {
    PANEL_AUX_0,  PANEL_AUX_1,  PANEL_AUX_2,  PANEL_AUX_3,  PANEL_AUX_4,  PANEL_AUX_5,
    PANEL_AUX_6,  PANEL_AUX_7,  PANEL_AUX_8,  PANEL_AUX_9,  PANEL_AUX_10, PANEL_AUX_11,
    PANEL_AUX_12, PANEL_AUX_13, PANEL_AUX_14, PANEL_AUX_15, PANEL_AUX_16, PANEL_AUX_17};
inline constexpr int kEToggles[] = {PANEL_ENHBIT_0, PANEL_ENHBIT_1, PANEL_ENHBIT_2, PANEL_ENHBIT_3,
                                    PANEL_ENHBIT_4, PANEL_ENHBIT_5, PANEL_ENHBIT_6, PANEL_ENHBIT_7};

using ToggleRow = std::span<const int>;

// The weight of the toggle at place i of a row (0 is the highest).
inline uint32_t toggle_weight(ToggleRow row, std::size_t i)
{
    return uint32_t{1} << (row.size() - 1 - i);
}

// Sets a row's toggles from a value, by the value-to-toggles rule.
void set_toggles(ToggleRow row, uint32_t value);
// The sum of the weights of a row's toggles that are on; every toggle is read.
uint32_t sum_of_toggles(ToggleRow row);

// Loads M, R, A and K from their fields and sets their toggles from them. Returns 0.
int Set_Data_Bits();
