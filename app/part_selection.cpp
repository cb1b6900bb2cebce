#include "app/part_selection.h"

#include "app/calculator.h"
#include "app/toggle_rows.h"
#include "app/main_panel.h"
#include "resource/New_Panel.h"
#include "ui_runtime/ui_runtime.h"
#include "resource/setup_file.h"

#include <cstdio>

void Select_Mode(int, int menuItem, void*, int)
{
    if (menuItem == MENU_CHANGE_PART_ZR3100) {
        // The integer part has no fractional term: K and dither go to 0.
        regs.N_flag = ZR3100;
        regs.K_reg = 0;
        regs.RAND_EN = 0;
        std::snprintf(buf, kBufSize, "%s", part_menu_name(ZR3100).c_str());
        SetCtrlVal(MainPanelHandle, PANEL_TEXTMSG_10, buf);
        SetCtrlVal(MainPanelHandle, PANEL_K_REG, regs.K_reg);
        SetCtrlVal(MainPanelHandle, PANEL_RAND_EN, 0);
        Set_Data_Bits();
        Change_Panel(regs.N_flag);
    } else if (menuItem == MENU_CHANGE_PART_ZR3500) {
        regs.N_flag = ZR3500;
        std::snprintf(buf, kBufSize, "%s", part_menu_name(ZR3500).c_str());
        SetCtrlVal(MainPanelHandle, PANEL_TEXTMSG_10, buf);
        Change_Panel(regs.N_flag);
    }
    calculate_freq_from_regs(kModeRecompute);
}

void Change_Panel(int flag)
{
    const int shown = flag != 0;
    SetCtrlAttribute(MainPanelHandle, PANEL_RAND_EN, ATTR_VISIBLE, shown);
    SetCtrlAttribute(MainPanelHandle, PANEL_MASH, ATTR_VISIBLE, shown);
    SetCtrlAttribute(MainPanelHandle, PANEL_TEXTMSG_76, ATTR_VISIBLE, shown);
    SetCtrlAttribute(MainPanelHandle, PANEL_K_REG, ATTR_VISIBLE, shown);
    for (int control : kKToggles)
        SetCtrlAttribute(MainPanelHandle, control, ATTR_VISIBLE, shown);
    SetCtrlAttribute(MainPanelHandle, PANEL_LNM, ATTR_VISIBLE, shown);
}
