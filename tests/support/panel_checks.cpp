#include "support/panel_checks.h"

#include "support/chip_decoder.h"

#include "model/register_set.h"
#include "model/toggle_rows.h"
#include "panel/main_panel.h"
#include "panel/New_Panel.h"
#include "panel/ui_runtime.h"
#include "panel/ui_runtime_qt.h"

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
    const unsigned R = ((w >> 19) & 3u) << 4 | ((w >> 5) & 0xFu);
    const unsigned M = ((w >> 17) & 3u) << 7 | ((w >> 9) & 0x7Fu);
    if (R != unsigned_of(PANEL_R_REG))
        return differs("R", R, unsigned_of(PANEL_R_REG));
    if (M != unsigned_of(PANEL_M_REG))
        return differs("M", M, unsigned_of(PANEL_M_REG));
    if (((w >> 1) & 0xFu) != unsigned_of(PANEL_A_REG))
        return differs("A", (w >> 1) & 0xFu, unsigned_of(PANEL_A_REG));
    if (static_cast<int>((w >> 16) & 1u) != int_of(PANEL_SEC_4))
        return differs("prescaler switch", (w >> 16) & 1u, static_cast<unsigned>(int_of(PANEL_SEC_4)));
    if (w & 1u)
        return "the main word does not end in 0";
    if (words == 2) {
        const uint32_t aux = r.latched_words[1];
        if ((aux & 7u) != 1u)
            return "the auxiliary word does not end in 001";
        if ((aux >> 3) != unsigned_of(PANEL_K_REG))
            return differs("K", aux >> 3, unsigned_of(PANEL_K_REG));
    }
    return "";
}

std::string broken_panel_invariant()
{
    struct Row {
        const char* name;
        ToggleRow toggles;
        int field;
    };
    for (const Row& row : {Row{"R", kRToggles, PANEL_R_REG}, Row{"M", kMToggles, PANEL_M_REG},
                           Row{"A", kAToggles, PANEL_A_REG}, Row{"K", kKToggles, PANEL_K_REG},
                           Row{"E", kEToggles, PANEL_E_REG}})
        if (sum_of_toggles(row.toggles) != unsigned_of(row.field))
            return differs(row.name, sum_of_toggles(row.toggles), unsigned_of(row.field)) + " (toggles, field)";
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
        if (!(v >= c->minimum && v <= c->maximum))
            return c->constant + " holds " + std::to_string(v);
    }
    return "";
}
