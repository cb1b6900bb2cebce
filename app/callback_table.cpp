#include "app/callback_table.h"

#include "app/board/board_choice.h"
#include "app/board/programming_frames.h"
#include "app/bit_editors.h"
#include "app/numeric_fields.h"
#include "app/about.h"
#include "app/bus_view_menu.h"
#include "app/shutdown.h"
#include "app/sweep_menu.h"
#include "app/part_selection.h"
#include "app/register_transfer.h"
#include "app/setups.h"

namespace {

struct NamedControlCallback {
    std::string_view name;
    CtrlCallbackPtr function;
};

struct NamedMenuCallback {
    std::string_view name;
    MenuCallbackPtr function;
};

#define NAMED(function) {#function, function}

constexpr NamedControlCallback kControlCallbacks[] = {
    NAMED(spin_new_reg_values),
    NAMED(R_reg_Change),
    NAMED(M_reg_Change),
    NAMED(A_reg_Change),
    NAMED(K_reg_Change),
    NAMED(Enhancement_reg_changed),
    NAMED(Enhancement_mode_menu_changed),
    NAMED(prescaler_select_menu_changed),
    NAMED(callbacks),
    NAMED(SEND_DATA),
    NAMED(Shutdown),
    NAMED(CORVANE),
};

constexpr NamedMenuCallback kMenuCallbacks[] = {
    NAMED(Select_Mode),
    NAMED(About),
    NAMED(Save_Setup),
    NAMED(Open_Setup),
    NAMED(Open_Sweep_Window),
    NAMED(Open_Bus_View),
    NAMED(Copy_Register_Words),
    NAMED(Export_Registers),
    NAMED(Import_Registers),
    NAMED(Choose_Board),
    NAMED(Rescan_Boards),
    NAMED(Disconnect_Board),
};

#undef NAMED

}  // namespace

CtrlCallbackPtr find_control_callback(std::string_view name)
{
    for (const auto& c : kControlCallbacks)
        if (c.name == name)
            return c.function;
    return nullptr;
}

MenuCallbackPtr find_menu_callback(std::string_view name)
{
    for (const auto& c : kMenuCallbacks)
        if (c.name == name)
            return c.function;
    return nullptr;
}
