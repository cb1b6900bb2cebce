#include "resource/built_in_resource.h"

#include "resource/New_Panel.h"

namespace {

int panel_id(std::string_view constant)
{
    return find_constant(ConstantGroup::Panels, constant);
}

int control_id(int panel, std::string_view constant)
{
    switch (panel) {
    case PANEL: return find_constant(ConstantGroup::MainControls, constant);
    case PANEL_2: return find_constant(ConstantGroup::SplashControls, constant);
    }
    return -1;
}

int menu_id(std::string_view constant)
{
    return find_constant(ConstantGroup::Menu, constant);
}

}  // namespace

const UIApplication& new_panel_names()
{
    static const UIApplication names = [] {
        UIApplication a;
        a.name = kProgramName;
        a.panel_id = panel_id;
        a.control_id = control_id;
        a.menu_id = menu_id;
        return a;
    }();
    return names;
}
