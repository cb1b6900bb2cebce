#pragma once
// Each counter register is shown twice on the main panel: as its numeric field
// and as a row of bit toggles. A toggle's constant carries its place in the
// serial word it is sent in, not its bit number; the register map says which
// bit of which register each place carries. The rows below list a register's
// toggles from the highest weight down to weight 1.

#include "model/toggle_pattern.h"
#include "resource/New_Panel.h"
#include "wire/serial_words.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>

// The toggles of each serial word, by their place in it.
inline constexpr std::array<int, kMainWordPlaces> kMainWordToggles = {
    PANEL_SEC_0,  PANEL_SEC_1,  PANEL_SEC_2,  PANEL_SEC_3,  PANEL_SEC_4,  PANEL_SEC_5,  PANEL_SEC_6,
    PANEL_SEC_7,  PANEL_SEC_8,  PANEL_SEC_9,  PANEL_SEC_10, PANEL_SEC_11, PANEL_SEC_12, PANEL_SEC_13,
    PANEL_SEC_14, PANEL_SEC_15, PANEL_SEC_16, PANEL_SEC_17, PANEL_SEC_18, PANEL_SEC_19};
inline constexpr std::array<int, kAuxiliaryWordPlaces> kAuxiliaryWordToggles = {
    PANEL_AUX_0,  PANEL_AUX_1,  PANEL_AUX_2,  PANEL_AUX_3,  PANEL_AUX_4,  PANEL_AUX_5,
    PANEL_AUX_6,  PANEL_AUX_7,  PANEL_AUX_8,  PANEL_AUX_9,  PANEL_AUX_10, PANEL_AUX_11,
    PANEL_AUX_12, PANEL_AUX_13, PANEL_AUX_14, PANEL_AUX_15, PANEL_AUX_16, PANEL_AUX_17};
inline constexpr std::array<int, kEnhancementWordPlaces> kEnhancementWordToggles = {
    PANEL_ENHBIT_0, PANEL_ENHBIT_1, PANEL_ENHBIT_2, PANEL_ENHBIT_3,
    PANEL_ENHBIT_4, PANEL_ENHBIT_5, PANEL_ENHBIT_6, PANEL_ENHBIT_7};

// The toggle at a place of a word.
constexpr int toggle_at(SerialWord w, int place)
{
    switch (w) {
    case SerialWord::Main: return kMainWordToggles[static_cast<std::size_t>(place)];
    case SerialWord::Auxiliary: return kAuxiliaryWordToggles[static_cast<std::size_t>(place)];
    case SerialWord::Enhancement: return kEnhancementWordToggles[static_cast<std::size_t>(place)];
    case SerialWord::Option: break;
    }
    return -1;
}

// A register's toggles, its highest bit first.
template <FieldOf Of>
constexpr std::array<int, register_width(Of)> toggle_row()
{
    std::array<int, register_width(Of)> row{};
    for (int i = 0; i < register_width(Of); ++i) {
        const int bit = word_bit_of(Of, register_width(Of) - 1 - i);
        row[static_cast<std::size_t>(i)] = toggle_at(word_of(Of), place_of_bit(word_of(Of), bit));
    }
    return row;
}

inline constexpr auto kRToggles = toggle_row<FieldOf::R>();
inline constexpr auto kMToggles = toggle_row<FieldOf::M>();
inline constexpr auto kAToggles = toggle_row<FieldOf::A>();
inline constexpr auto kKToggles = toggle_row<FieldOf::K>();
inline constexpr auto kEToggles = toggle_row<FieldOf::E>();

using ToggleRow = std::span<const int>;

// The weight of the toggle at place i of a row (0 is the highest).
inline uint32_t toggle_weight(ToggleRow row, std::size_t i)
{
    return uint32_t{1} << (row.size() - 1 - i);
}

// What a toggle stands for: its word and the bit there, and the register bit
// that bit carries. None for a control that is no toggle.
struct ToggleBit {
    SerialWord word = SerialWord::Main;
    int word_bit = 0;
    WordBit carries;
};
std::optional<ToggleBit> toggle_bit(int control);

// Sets a row's toggles from a value, by the value-to-toggles rule.
void set_toggles(ToggleRow row, uint32_t value);
// The sum of the weights of a row's toggles that are on; every toggle is read.
uint32_t sum_of_toggles(ToggleRow row);

// Loads M, R, A and K from their fields and sets their toggles from them.
void Set_Data_Bits();
