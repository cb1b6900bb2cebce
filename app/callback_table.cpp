#include "panel/callback_table.h"

#include "link/callbacks/programming_frames.h"
#include "model/callbacks/bit_editors.h"
#include "model/callbacks/numeric_fields.h"
#include "panel/about.h"
#include "panel/bus_view_menu.h"
#include "panel/shutdown.h"
#include "panel/sweep_menu.h"
#include "panel/part_selection.h"
#include "panel/register_transfer.h"
#include "panel/setups.h"

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
