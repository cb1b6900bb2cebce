#include "zrctl/panel_resource.h"

#include "zrctl/failure.h"

#include "model/register_set.h"
#include "resource/built_in_resource.h"
#include "resource/New_Panel.h"
#include "resource/setup_file.h"

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
    const std::string& name = part_menu_name(part);
    if (name.empty())
        throw Failure(ExitStatus::InvalidInput, "the built-in UI resource has no part menu item " +
                                                    std::string(constant_name(ConstantGroup::Menu,
                                                                              part == ZR3500 ? MENU_CHANGE_PART_ZR3500
                                                                                             : MENU_CHANGE_PART_ZR3100)));
    return name;
}
