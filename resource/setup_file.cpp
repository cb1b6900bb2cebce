#include "resource/setup_file.h"

#include "model/register_set.h"
#include "resource/built_in_resource.h"
#include "resource/New_Panel.h"

#include <array>

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string quoted_part(int part)
{
    return "\"" + part_menu_name(part) + "\"";
}

std::string_view first_line(std::string_view text)
{
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        text.remove_prefix(kByteOrderMark.size());
    std::string_view line = text.substr(0, text.find_first_of("\r\n"));
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
        line.remove_suffix(1);
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
        line.remove_prefix(1);
    return line;
}

// The part a setup's PART line names: one line, naming one of the parts.
bool setup_part(const std::vector<OwnLine>& own, int* part, std::string* problem)
{
    const OwnLine* found = nullptr;
    for (const OwnLine& line : own) {
        if (line.name != kSetupPartLine)
            continue;
        if (found) {
            *problem = "line " + std::to_string(line.number) + ": " + kSetupPartLine + " is named twice";
            return false;
        }
        found = &line;
    }
    if (!found) {
        *problem = std::string("no ") + kSetupPartLine + " line: a setup names its part";
        return false;
    }
    for (int p : {ZR3100, ZR3500}) {
        if (found->value == quoted_part(p)) {
            *part = p;
            return true;
        }
    }
    *problem = "line " + std::to_string(found->number) + ": " + kSetupPartLine + " = " + found->value +
               ": neither " + quoted_part(ZR3100) + " nor " + quoted_part(ZR3500);
    return false;
}

}  // namespace

std::string setup_header()
{
    return std::string("# ") + kProgramName + " setup 1";
}

const std::string& part_menu_name(int part)
{
    static const std::array<std::string, 2> names = [] {
        std::string error;
        const std::optional<UIResource> r = parse_ui_resource(new_panel_resource_text(), new_panel_names(), &error);
        std::string found[2];
        if (r)
            for (const MenuBarDef& bar : r->menu_bars)
                for (const MenuDef& menu : bar.menus)
                    for (const MenuItemDef& item : menu.items) {
                        if (item.id == MENU_CHANGE_PART_ZR3100)
                            found[ZR3100] = item.text;
                        if (item.id == MENU_CHANGE_PART_ZR3500)
                            found[ZR3500] = item.text;
                    }
        return std::array<std::string, 2>{found[0], found[1]};
    }();
    return names[part == ZR3500 ? 1 : 0];
}

std::string format_setup(int part, const std::vector<StateValue>& values)
{
    return format_state_under(setup_header(), {{2, kSetupPartLine, quoted_part(part)}}, values);
}

bool parse_settings_file(std::string_view text, const std::vector<const ControlDef*>& controls, SettingsFile* out,
                         std::string* problem)
{
    SettingsFile file;
    std::vector<OwnLine> own;
    const std::string state_header = panel_state_header(kProgramName);
    const std::string_view first = first_line(text);
    if (first == setup_header()) {
        file.setup = true;
        int part = ZR3100;
        if (!parse_state_under(text, setup_header(), std::string(kProgramName) + " setup", controls, &file.values,
                               &own, problem) ||
            !setup_part(own, &part, problem))
            return false;
        file.part = part;
    } else if (first == state_header) {
        if (!parse_state_under(text, state_header, std::string(kProgramName) + " panel state", controls,
                               &file.values, &own, problem))
            return false;
        for (const StateValue& v : file.values)
            if (v.control->id == PANEL_TEXTMSG_10)
                for (int p : {ZR3100, ZR3500})
                    if (v.text == part_menu_name(p))
                        file.part = p;
    } else {
        *problem = std::string("line 1: neither a ") + kProgramName + " setup nor a " + kProgramName +
                   " panel state";
        return false;
    }
    *out = std::move(file);
    return true;
}

StateFileVerdict read_settings_file(const std::string& path, const std::vector<const ControlDef*>& controls,
                                    SettingsFile* out, std::string* problem)
{
    std::string text;
    if (const StateFileVerdict read = read_state_text(path, &text, problem); read != StateFileVerdict::Fits)
        return read;
    return parse_settings_file(text, controls, out, problem) ? StateFileVerdict::Fits : StateFileVerdict::DoesNotFit;
}
