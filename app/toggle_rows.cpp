#include "app/toggle_rows.h"

#include "app/main_panel.h"
#include "ui_runtime/ui_runtime.h"

void set_toggles(ToggleRow row, uint32_t value)
{
    const uint32_t pattern = toggle_pattern(value, row.size());
    for (std::size_t i = 0; i < row.size(); ++i)
        SetCtrlVal(MainPanelHandle, row[i], (pattern & toggle_weight(row, i)) ? 1 : 0);
}

uint32_t sum_of_toggles(ToggleRow row)
{
    uint32_t sum = 0;
    for (std::size_t i = 0; i < row.size(); ++i) {
        int on = 0;
        GetCtrlVal(MainPanelHandle, row[i], &on);
        if (on != 0)
            sum += toggle_weight(row, i);
    }
    return sum;
}

std::optional<ToggleBit> toggle_bit(int control)
{
    for (SerialWord w : {SerialWord::Main, SerialWord::Auxiliary, SerialWord::Enhancement})
        for (int bit = word_bits(w) - 1; bit >= 0; --bit)
            if (!(fixed_mask(w) >> bit & 1u) && toggle_at(w, place_of_bit(w, bit)) == control)
                return ToggleBit{w, bit, word_bit(w, bit)};
    return std::nullopt;
}

void Set_Data_Bits()
{
    GetCtrlVal(MainPanelHandle, PANEL_M_REG, &regs.M_reg);
    GetCtrlVal(MainPanelHandle, PANEL_R_REG, &regs.R_reg);
    GetCtrlVal(MainPanelHandle, PANEL_A_REG, &regs.A_reg);
    GetCtrlVal(MainPanelHandle, PANEL_K_REG, &regs.K_reg);
    set_toggles(kRToggles, regs.R_reg);
    set_toggles(kMToggles, regs.M_reg);
    set_toggles(kAToggles, regs.A_reg);
    set_toggles(kKToggles, regs.K_reg);
}
