#include "support/panel_checks.h"

#include "wire/burst_decoder.h"
#include "wire/serial_words.h"
#include "app/main_panel.h"
#include "resource/New_Panel.h"
#include "ui_runtime/ui_runtime.h"
#include "ui_runtime/ui_runtime_qt.h"

#include <QVariant>
#include <QWidget>

namespace {

int int_of(int control)
{
    int v = 0;
    GetCtrlVal(MainPanelHandle, control, &v);
    return v;
}

unsigned unsigned_of(int control)
{
    unsigned v = 0;
    GetCtrlVal(MainPanelHandle, control, &v);
    return v;
}

std::string differs(const char* what, unsigned sent, unsigned shown)
{
    return std::string(what) + " sent " + std::to_string(sent) + ", shown " + std::to_string(shown);
}

// The value a register's toggles show, read the way an operator reads the panel:
// every toggle that the resource gives this register's callback, weighted by the
// bit number of its label. Independent of the program's own table of rows.
unsigned toggles_value(const char* callback)
{
    unsigned value = 0;
    for (const ControlDef* c : PanelControlDefs(MainPanelHandle))
        if (c->kind == ControlKind::BitToggle && c->callback == callback && int_of(c->id) != 0)
            value += 1u << std::stoi(c->label);
    return value;
}

}  // namespace

std::string burst_differs_from_panel(const std::vector<unsigned char>& burst)
{
    const ChipReception r = decode_burst(burst);
    if (!r.fault.empty())
        return r.fault;
    const int enhbar = int_of(PANEL_ENHBAR);
    const unsigned options = static_cast<unsigned>(enhbar << 3 | int_of(PANEL_MASH) << 5 |
                                                   int_of(PANEL_RAND_EN) << 6 | int_of(PANEL_MOD_SEL) << 7);
    if (r.options != options)
        return differs("option lines", r.options, options);
    if (enhbar == 0) {
        if (r.enhancement_words.size() != 1 || !r.latched_words.empty())
            return "not one enhancement word alone";
        if (r.enhancement_words[0] != unsigned_of(PANEL_E_REG))
            return differs("E", r.enhancement_words[0], unsigned_of(PANEL_E_REG));
        return "";
    }
    const std::size_t words = regs.N_flag != 0 ? 2 : 1;
    if (r.latched_words.size() != words || !r.enhancement_words.empty())
        return "not " + std::to_string(words) + " latched words";
    const uint32_t w = r.latched_words[0];
    const MainWordFields f = main_word_fields(w);
    if (f.R != unsigned_of(PANEL_R_REG))
        return differs("R", f.R, unsigned_of(PANEL_R_REG));
    if (f.M != unsigned_of(PANEL_M_REG))
        return differs("M", f.M, unsigned_of(PANEL_M_REG));
    if (f.A != unsigned_of(PANEL_A_REG))
        return differs("A", f.A, unsigned_of(PANEL_A_REG));
    if (f.PS != int_of(PANEL_SEC_4))
        return differs("prescaler switch", static_cast<unsigned>(f.PS), static_cast<unsigned>(int_of(PANEL_SEC_4)));
    if (!is_main_word(w))
        return "the main word does not end in 0";
    if (words == 2) {
        const uint32_t aux = r.latched_words[1];
        if (!is_auxiliary_word(aux))
            return "the auxiliary word does not end in 001";
        if (auxiliary_word_k(aux) != unsigned_of(PANEL_K_REG))
            return differs("K", auxiliary_word_k(aux), unsigned_of(PANEL_K_REG));
    }
    return "";
}

std::string broken_panel_invariant()
{
    struct Row {
        const char* name;
        const char* callback;
        int field;
    };
    for (const Row& row : {Row{"R", "R_reg_Change", PANEL_R_REG}, Row{"M", "M_reg_Change", PANEL_M_REG},
                           Row{"A", "A_reg_Change", PANEL_A_REG}, Row{"K", "K_reg_Change", PANEL_K_REG},
                           Row{"E", "Enhancement_reg_changed", PANEL_E_REG}})
        if (toggles_value(row.callback) != unsigned_of(row.field))
            return differs(row.name, toggles_value(row.callback), unsigned_of(row.field)) + " (toggles, field)";
    if (unsigned_of(PANEL_M_REG) < 1)
        return "M is 0";
    if (regs.modulus != 10 && regs.modulus != 5 && regs.modulus != 1)
        return "modulus " + std::to_string(regs.modulus);
    for (const ControlDef* c : PanelControlDefs(MainPanelHandle)) {
        double v = 0.0;
        if (c->type == ValueType::Double)
            GetCtrlVal(MainPanelHandle, c->id, &v);
        else if (c->type == ValueType::Unsigned)
            v = unsigned_of(c->id);
        else
            continue;
        const bool outside = !(v >= c->minimum && v <= c->maximum);
        // A register holds its width; a frequency the program computed may lie
        // outside its field's range, and the field must then say so.
        if (outside && c->type == ValueType::Unsigned)
            return c->constant + " holds " + std::to_string(v);
        if (outside != CtrlWidget(MainPanelHandle, c->id)->property("outsideRange").toBool())
            return c->constant + " holds " + std::to_string(v) + (outside ? " unmarked" : " marked as outside");
    }
    return "";
}
