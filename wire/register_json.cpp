#include "wire/register_json.h"

#include "model/number_text.h"

#include <algorithm>
#include <cctype>

std::string part_word(const std::string& part_name)
{
    std::string word = part_name;
    std::transform(word.begin(), word.end(), word.begin(), [](unsigned char c) { return std::tolower(c); });
    return word;
}

SettingWords setting_words(const RegisterSet& r, const std::string& part_name, const std::string& mod_sel_text,
                           const std::string& mash_text)
{
    return {part_word(part_name), r.prescaler_en != 0 ? kPrescalerBypassWord : mod_sel_text, mash_text,
            r.LNM != 0 ? kJumperInWord : kJumperOutWord};
}

Json settings_json(const RegisterSet& r, const SettingWords& w)
{
    Json j;
    j[json_field::kPart] = w.part;
    j[json_field::kRefMhz] = r.ref_freq;
    j["R"] = r.R_reg;
    j[json_field::kPrescaler] = w.prescaler;
    j[json_field::kMash] = w.mash;
    j[json_field::kLnm] = w.lnm;
    j[json_field::kDither] = r.RAND_EN != 0;
    j["E"] = r.E_reg;
    return j;
}

Json registers_json(const RegisterSet& r)
{
    return {{"R", r.R_reg}, {"M", r.M_reg}, {"A", r.A_reg}, {"K", r.K_reg}, {"E", r.E_reg}};
}

namespace {

// The hex digits a word is written with, or 0 when the key names no word.
int word_digits(const std::string& key)
{
    if (key == json_field::kMainWord || key == json_field::kAuxiliaryWord)
        return 6;
    if (key == json_field::kEnhancementWord || key == json_field::kOptionByte)
        return 2;
    return 0;
}

}  // namespace

Json with_word_hex(const Json& document)
{
    if (document.is_array()) {
        Json list = Json::array();
        for (const Json& element : document)
            list.push_back(with_word_hex(element));
        return list;
    }
    if (!document.is_object())
        return document;
    Json object = Json::object();
    for (const auto& [key, value] : document.items()) {
        object[key] = with_word_hex(value);
        const int digits = word_digits(key);
        const std::string hex_key = key + json_field::kHexSuffix;
        if (digits > 0 && !document.contains(hex_key))
            object[hex_key] = value.is_number_integer() && value.get<int64_t>() >= 0
                                  ? Json(hex_text(value.get<uint64_t>(), digits))
                                  : Json(nullptr);
    }
    return object;
}
