#include "panel/application.h"

#include "panel/artwork.h"
#include "panel/callback_table.h"
#include "panel/control_descriptions.h"
#include "panel/New_Panel.h"
#include "panel/shutdown.h"

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

// The main panel gets its tooltips, and closing its window takes the road of QUIT.
void panel_loaded(int panel, int panel_id)
{
    if (panel_id != PANEL)
        return;
    describe_main_panel_controls(panel);
    InstallPanelCallback(panel, main_panel_closed);
}

}  // namespace

const UIApplication& zr_eval_application()
{
    static const UIApplication application = [] {
        UIApplication a;
        a.name = kProgramName;
        a.panel_id = panel_id;
        a.control_id = control_id;
        a.menu_id = menu_id;
        a.control_callback = find_control_callback;
        a.menu_callback = find_menu_callback;
        a.paint_picture = paint_artwork;
        a.panel_loaded = panel_loaded;
        return a;
    }();
    return application;
}
