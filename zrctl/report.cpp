#include "zrctl/report.h"

#include "zrctl/panel_resource.h"
#include "zrctl/settings.h"

#include "model/solve_outcome.h"
#include "resource/New_Panel.h"

#include <cstdio>

std::string json_text(const Json& document)
{
    Json shown = with_word_hex(document);
    if (shown.is_object()) {
        Json versioned = {{json_field::kFormat, json_field::kFormatVersion}};
        versioned.update(shown);
        shown = std::move(versioned);
    }
    return shown.dump(2, ' ', false, Json::error_handler_t::replace);
}

std::string calculator_text(CalculatorText which, const RegisterSet& r)
{
    char text[512];
    format_calculator_text(which, r, text, sizeof text);
    return text;
}

std::string field_text(int control, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", panel_control(control).precision, value);
    return text;
}

Json settings_json(const RegisterSet& r)
{
    return settings_json(r, words_of(r));
}

std::string settings_line(const RegisterSet& r)
{
    const SettingWords w = words_of(r);
    return part_name(r.N_flag) + ", Fr " + field_text(PANEL_REF_FREQ, r.ref_freq) + " MHz, R " +
           std::to_string(r.R_reg) + ", prescaler " + w.prescaler + ", MASH " + w.mash + ", LNM " + w.lnm +
           ", dither " + (r.RAND_EN != 0 ? "on" : "off") + ", E " + std::to_string(r.E_reg);
}

Json results_json(const RegisterSet& r)
{
    Json j;
    j[json_field::kRegisters] = registers_json(r);
    j["fc_mhz"] = r.fc;
    j["n"] = r.N_val;
    j[json_field::kFinMhz] = r.new_pll_freq;
    j["fp_mhz"] = r.fp;
    j["texts"] = {
        {"r", calculator_text(CalculatorText::R, r)},
        {"fc", calculator_text(CalculatorText::Fc, r)},
        {"n", calculator_text(CalculatorText::N, r)},
        {"fin_symbolic", calculator_text(CalculatorText::SymbolicFin, r)},
        {"fin_worked", calculator_text(CalculatorText::WorkedFin, r)},
        {"fp_symbolic", calculator_text(CalculatorText::SymbolicFp, r)},
        {"fp_worked", calculator_text(CalculatorText::WorkedFp, r)},
    };
    return j;
}

void print_registers(std::ostream& out, const RegisterSet& r)
{
    out << "registers  R " << r.R_reg << "  M " << r.M_reg << "  A " << r.A_reg << "  K " << r.K_reg << '\n'
        << "Fin        " << field_text(PANEL_PLL_FREQ, r.new_pll_freq) << " MHz\n";
}

void print_texts(std::ostream& out, const RegisterSet& r)
{
    for (CalculatorText t : {CalculatorText::R, CalculatorText::Fc, CalculatorText::N, CalculatorText::SymbolicFin,
                             CalculatorText::WorkedFin, CalculatorText::SymbolicFp, CalculatorText::WorkedFp})
        out << calculator_text(t, r) << '\n';
}

Json rule_changes_json(uint32_t M, uint32_t A, const RegisterSet& r)
{
    Json list = Json::array();
    for (const RuleChange& c : rule_changes(M, A, r.M_reg, r.A_reg))
        list.push_back({{"register", c.name}, {"from", c.from}, {"to", c.to}});
    return list;
}

std::string rule_changes_line(uint32_t M, uint32_t A, const RegisterSet& r)
{
    return "range rules " + rule_changes_text(rule_changes(M, A, r.M_reg, r.A_reg));
}
