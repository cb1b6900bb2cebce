#include "wire/register_json.h"

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
