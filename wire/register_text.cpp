#include "wire/register_text.h"

#include "wire/register_text_slots.h"
#include "wire/serial_words.h"
#include "model/number_text.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace {

// The words of w that it has, in slot order.
std::vector<std::pair<Slot, uint32_t>> words_of(const RegisterWords& w)
{
    std::vector<std::pair<Slot, uint32_t>> words = {{Slot::Main, w.main_word}};
    if (w.auxiliary_word != 0)
        words.push_back({Slot::Auxiliary, w.auxiliary_word});
    words.push_back({Slot::Enhancement, w.enhancement_word});
    words.push_back({Slot::Option, w.option_byte});
    return words;
}

// "ZR3500: R 1, M 7, A 6, K 110100, E 0, Fin 4320.9999084 MHz"
std::string summary(const RegisterWords& w)
{
    const RegisterSet& r = w.regs;
    return w.part + ": R " + std::to_string(r.R_reg) + ", M " + std::to_string(r.M_reg) + ", A " +
           std::to_string(r.A_reg) + ", K " + std::to_string(r.K_reg) + ", E " + std::to_string(r.E_reg) + ", Fin " +
           w.fin_text + " MHz";
}

std::string upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text;
}

}  // namespace

RegisterWords register_words(const RegisterSet& r, const std::string& part_name, const std::string& fin_text,
                             const SettingWords& words)
{
    RegisterWords w;
    w.part = part_name;
    w.regs = r;
    w.fin_text = fin_text;
    w.words = words;
    const SettingsWords sw = serial_words_of(r);
    w.main_word = sw.main;
    w.auxiliary_word = sw.auxiliary;
    w.enhancement_word = sw.enhancement;
    w.option_byte = sw.option_byte;
    return w;
}

std::string registers_hex_text(const RegisterWords& w)
{
    std::string out = "# " + summary(w) + "\n";
    for (const auto& [slot, value] : words_of(w)) {
        std::string name = slot_def(slot).name;
        name.resize(18, ' ');
        out += name + hex_text(value, slot_digits(slot)) + "\n";
    }
    return out;
}

std::string registers_c_header(const RegisterWords& w)
{
    const std::string prefix = upper(w.part) + "_";
    const std::string guard = prefix + "REGISTERS_H";
    std::string out = "/* " + summary(w) + " */\n#ifndef " + guard + "\n#define " + guard + "\n\n";
    for (const auto& [slot, value] : words_of(w)) {
        std::string name = prefix + slot_def(slot).constant;
        name.resize(prefix.size() + 17, ' ');
        std::string number = hex_text(value, slot_digits(slot)) + "u";
        number.resize(10, ' ');
        std::string what = slot_def(slot).holds;
        if (slot != Slot::Option)
            what += ", " + std::to_string(slot_bits(slot)) + " bits";
        out += "#define " + name + number + "/* " + what + " */\n";
    }
    return out + "\n#endif\n";
}

std::string registers_json_text(const RegisterWords& w)
{
    const RegisterSet& r = w.regs;
    Json j;
    j[json_field::kSettings] = settings_json(r, w.words);
    j[json_field::kRegisters] = registers_json(r);
    j[json_field::kFinMhz] = r.new_pll_freq;
    j[json_field::kMainWord] = w.main_word;
    j[json_field::kAuxiliaryWord] = w.auxiliary_word != 0 ? Json(w.auxiliary_word) : Json(nullptr);
    j[json_field::kEnhancementWord] = w.enhancement_word;
    j[json_field::kOptionByte] = w.option_byte;
    return j.dump(2) + "\n";
}
