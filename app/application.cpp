#include "panel/application.h"

#include "panel/artwork.h"
#include "panel/built_in_resource.h"
#include "panel/callback_table.h"
#include "panel/control_descriptions.h"
#include "panel/last_burst.h"
#include "panel/New_Panel.h"
#include "panel/shutdown.h"

namespace {

// The main panel gets its tooltips, closing its window takes the road of QUIT,
// and the bursts it writes are kept for the bus view.
void panel_loaded(int panel, int panel_id)
{
    if (panel_id != PANEL)
        return;
    describe_main_panel_controls(panel);
    InstallPanelCallback(panel, main_panel_closed);
    keep_last_burst();
}

}  // namespace

const UIApplication& zr_eval_application()
{
    static const UIApplication application = [] {
        UIApplication a = new_panel_names();
        a.control_callback = find_control_callback;
        a.menu_callback = find_menu_callback;
        a.paint_picture = paint_artwork;
        a.panel_loaded = panel_loaded;
        return a;
    }();
    return application;
}
