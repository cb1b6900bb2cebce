#pragma once
// The settings, registers and words as JSON, with the field names that zrctl's
// documents and the panel's register export share; and the settings in the
// words zrctl's options take.

#include "model/register_set.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>

using Json = nlohmann::ordered_json;

namespace json_field {
inline constexpr const char* kSettings = "settings";
inline constexpr const char* kPart = "part";
inline constexpr const char* kRefMhz = "ref_mhz";
inline constexpr const char* kPrescaler = "prescaler";
inline constexpr const char* kMash = "mash";
inline constexpr const char* kLnm = "lnm";
inline constexpr const char* kDither = "dither";
inline constexpr const char* kRegisters = "registers";
inline constexpr const char* kFinMhz = "fin_mhz";
inline constexpr const char* kMainWord = "main_word";
inline constexpr const char* kAuxiliaryWord = "auxiliary_word";
inline constexpr const char* kEnhancementWord = "enhancement_word";
inline constexpr const char* kOptionByte = "option_byte";
// The version of zrctl's documents' layout, at their top: 1 so far. Fields are
// added within a version, never renamed or given another meaning.
inline constexpr const char* kFormat = "format";
inline constexpr int kFormatVersion = 1;
// Beside each word's number, the same word as hex text: "main_word_hex".
inline constexpr const char* kHexSuffix = "_hex";
}  // namespace json_field

// The settings' words: the part as its menu item names it, in small letters; the
// prescaler as Mod Select's position or "bypass"; MASH2SEL's position; the LNM
// jumper "in" or "out".
inline constexpr const char* kPrescalerBypassWord = "bypass";
inline constexpr const char* kJumperInWord = "in";
inline constexpr const char* kJumperOutWord = "out";

struct SettingWords {
    std::string part, prescaler, mash, lnm;
};

std::string part_word(const std::string& part_name);
// From the part's name and the texts of the Mod Select and MASH2SEL switches at
// their positions in r.
SettingWords setting_words(const RegisterSet& r, const std::string& part_name, const std::string& mod_sel_text,
                           const std::string& mash_text);

// part, ref_mhz, R, prescaler, mash, lnm, dither, E.
Json settings_json(const RegisterSet& r, const SettingWords& words);
// R, M, A, K, E.
Json registers_json(const RegisterSet& r);

// The document with, beside every main, auxiliary and enhancement word and
// option byte that holds a number, wherever it stands, the same as hex text
// ("main_word_hex": "0x000E2C").
Json with_word_hex(const Json& document);
