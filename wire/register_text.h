#pragma once
// The register words of a setting and its option byte as text to copy, as a C
// header and as JSON; and register words read back from any of those, or from
// words pasted as they come.

#include "wire/register_json.h"
#include "model/register_set.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct RegisterWords {
    std::string part;      // the part's name, "ZR3500"
    RegisterSet regs;      // its registers and switches
    std::string fin_text;  // Fin in MHz as the panel shows it
    SettingWords words;    // the settings in zrctl's words, for the JSON
    uint32_t main_word = 0;
    uint32_t auxiliary_word = 0;  // 0: none, for ZR3100
    uint32_t enhancement_word = 0;
    uint8_t option_byte = 0;
};

// The words "Program Device" packs for r once its toggles show its fields: the
// main and enhancement words, the auxiliary word for ZR3500, and the option byte
// with r's ENHBAR.
RegisterWords register_words(const RegisterSet& r, const std::string& part_name, const std::string& fin_text,
                             const SettingWords& words);

// "# ZR3500: R 1, M 7, A 6, K 110100, E 0, Fin 4320.9999084 MHz", then one line a
// word: "main word         0x000E2C".
std::string registers_hex_text(const RegisterWords& w);
// The words as constants (ZR3500_MAIN_WORD ...) under a comment that gives the
// part, R, M, A, K, E and Fin.
std::string registers_c_header(const RegisterWords& w);
// settings, registers, fin_mhz, main_word, auxiliary_word, enhancement_word and
// option_byte, as zrctl burst --json names them.
std::string registers_json_text(const RegisterWords& w);

// The longest text parse_register_words reads.
inline constexpr std::size_t kLargestRegisterText = 64 * 1024;

struct ImportedWords {
    std::optional<uint32_t> main_word, auxiliary_word, enhancement_word;
    std::optional<uint8_t> option_byte;
};

// Reads register words from text: JSON with zrctl's field names, or lines where
// each word is in hex as 0x... (a C suffix such as u is allowed) after the name
// of its kind (main, auxiliary, enhancement, option), as the hex text, the C
// header, zrctl's lines and the Status box give them. Words with no name before
// them are taken in their order on the line: the main word, then the auxiliary
// word. Comments (#, //, /* */) are skipped. Each word is checked: a main word's
// bit 0 is 0, an auxiliary word's bits 2 to 0 are 001, a word has at most 21
// bits (the enhancement word 8), and the option byte sets only the four option
// lines. On a fault returns false and *problem names the word; *out is untouched.
bool parse_register_words(std::string_view text, ImportedWords* out, std::string* problem);

// What the words set: R, M, A and the prescaler switch from the main word, K from
// the auxiliary word, E from the enhancement word, and ENHBAR, MASH, RAND_EN and
// MOD_SEL from the option byte. What the text did not hold stays.
void take_imported_words(const ImportedWords& w, RegisterSet& r);
