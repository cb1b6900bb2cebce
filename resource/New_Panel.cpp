#include "resource/New_Panel.h"

#include <iterator>

namespace {

#define NEW_PANEL_NAMED(name) {#name, name},

const NamedConstant kPanels[] = {NEW_PANEL_PANELS(NEW_PANEL_NAMED)};
const NamedConstant kMainControls[] = {NEW_PANEL_MAIN_CONTROLS(NEW_PANEL_NAMED)};
const NamedConstant kSplashControls[] = {NEW_PANEL_SPLASH_CONTROLS(NEW_PANEL_NAMED)};
const NamedConstant kMenu[] = {NEW_PANEL_MENU(NEW_PANEL_NAMED)};

#undef NEW_PANEL_NAMED

struct Range {
    const NamedConstant* begin;
    const NamedConstant* end;
};

Range group_range(ConstantGroup group)
{
    switch (group) {
    case ConstantGroup::Panels: return {std::begin(kPanels), std::end(kPanels)};
    case ConstantGroup::MainControls: return {std::begin(kMainControls), std::end(kMainControls)};
    case ConstantGroup::SplashControls: return {std::begin(kSplashControls), std::end(kSplashControls)};
    case ConstantGroup::Menu: return {std::begin(kMenu), std::end(kMenu)};
    }
    return {nullptr, nullptr};
}

}  // namespace

const NamedConstant* constants_begin(ConstantGroup group) { return group_range(group).begin; }
const NamedConstant* constants_end(ConstantGroup group) { return group_range(group).end; }

int find_constant(ConstantGroup group, std::string_view name)
{
    for (auto [it, end] = group_range(group); it != end; ++it)
        if (it->name == name)
            return it->value;
    return -1;
}

std::string_view constant_name(ConstantGroup group, int value)
{
    for (auto [it, end] = group_range(group); it != end; ++it)
        if (it->value == value)
            return it->name;
    return {};
}
