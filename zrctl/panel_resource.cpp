#include "zrctl/panel_resource.h"

#include "zrctl/failure.h"

#include "model/register_set.h"
#include "panel/built_in_resource.h"
#include "panel/New_Panel.h"

namespace {

const UIResource& resource()
{
    static const UIResource parsed = [] {
        std::string error;
        std::optional<UIResource> r = parse_ui_resource(new_panel_resource_text(), new_panel_names(), &error);
        if (!r || !r->panel(PANEL))
            throw Failure(ExitStatus::InvalidInput, "the built-in UI resource cannot be read: " + error);
        return std::move(*r);
    }();
    return parsed;
}

const std::string& menu_item_text(int item)
{
    for (const MenuBarDef& bar : resource().menu_bars)
        for (const MenuDef& menu : bar.menus)
            for (const MenuItemDef& i : menu.items)
                if (i.id == item)
                    return i.text;
    throw Failure(ExitStatus::InvalidInput, "the built-in UI resource has no menu item " +
                                                std::string(constant_name(ConstantGroup::Menu, item)));
}

}  // namespace

const ControlDef& panel_control(int control)
{
    for (const ControlDef& c : resource().panel(PANEL)->controls)
        if (c.id == control)
            return c;
    throw Failure(ExitStatus::InvalidInput, "the built-in UI resource has no control " +
                                                std::string(constant_name(ConstantGroup::MainControls, control)));
}

const std::vector<const ControlDef*>& panel_controls()
{
    static const std::vector<const ControlDef*> controls = [] {
        std::vector<const ControlDef*> all;
        for (const ControlDef& c : resource().panel(PANEL)->controls)
            all.push_back(&c);
        return all;
    }();
    return controls;
}

const std::string& part_name(int part)
{
    return menu_item_text(part == ZR3500 ? MENU_CHANGE_PART_ZR3500 : MENU_CHANGE_PART_ZR3100);
}
