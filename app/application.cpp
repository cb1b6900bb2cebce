#include "app/application.h"

#include "app/artwork.h"
#include "resource/built_in_resource.h"
#include "app/callback_table.h"
#include "app/control_descriptions.h"
#include "app/last_burst.h"
#include "resource/New_Panel.h"
#include "app/shutdown.h"

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
