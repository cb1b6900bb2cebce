#include "panel/application.h"

#include "panel/artwork.h"
#include "panel/built_in_resource.h"
#include "panel/callback_table.h"

const UIApplication& zr_eval_application()
{
    static const UIApplication application = [] {
        UIApplication a = new_panel_names();
        a.control_callback = find_control_callback;
        a.menu_callback = find_menu_callback;
        a.paint_picture = paint_artwork;
        return a;
    }();
    return application;
}
