#include "ui_files/ui_resource.h"

#include <nlohmann/json.hpp>

#include <cctype>
#include <charconv>
#include <cmath>
#include <set>

namespace {

using Json = nlohmann::json;

// A missing or mistyped list reads as empty, and a list element that is no
// object as an empty object, whose required keys are then missing.
const Json& array_at(const Json& o, const char* key)
{
    static const Json empty = Json::array();
    const auto it = o.find(key);
    return it != o.end() && it->is_array() ? *it : empty;
}

const Json& object_or_empty(const Json& v)
{
    static const Json empty = Json::object();
    return v.is_object() ? v : empty;
}

// The JSON library's message without its "[json.exception...] " tag.
std::string json_error_text(const Json::exception& e)
{
    const std::string what = e.what();
    const std::size_t tag_end = what.find("] ");
    return tag_end == std::string::npos ? what : what.substr(tag_end + 2);
}

// "#RRGGBB" as 0xRRGGBB.
bool parse_color(const std::string& text, int* rgb)
{
    if (text.size() != 7 || text[0] != '#')
        return false;
    const char* first = text.data() + 1;
    const char* last = text.data() + text.size();
    for (const char* c = first; c != last; ++c)
        if (!std::isxdigit(static_cast<unsigned char>(*c)))
            return false;
    const auto [ptr, ec] = std::from_chars(first, last, *rgb, 16);
    return ec == std::errc() && ptr == last;
}

struct Parser {
    const UIApplication& app;
    std::string error;

    bool fail(const std::string& what)
    {
        if (error.empty())
            error = what;
        return false;
    }

    std::string string_of(const Json& o, const char* key, const std::string& where, bool required)
    {
        const auto v = o.find(key);
        if (v == o.end()) {
            if (required)
                fail(where + ": missing \"" + key + "\"");
            return {};
        }
        if (!v->is_string()) {
            fail(where + ": \"" + key + "\" is not a text");
            return {};
        }
        return v->get<std::string>();
    }

    double number_of(const Json& o, const char* key, const std::string& where, bool required, double fallback = 0.0)
    {
        const auto v = o.find(key);
        if (v == o.end()) {
            if (required)
                fail(where + ": missing \"" + key + "\"");
            return fallback;
        }
        if (!v->is_number()) {
            fail(where + ": \"" + key + "\" is not a number");
            return fallback;
        }
        return v->get<double>();
    }

    int int_of(const Json& o, const char* key, const std::string& where, bool required, int fallback = 0)
    {
        const double d = number_of(o, key, where, required, fallback);
        if (d != std::trunc(d) || std::fabs(d) > 1e9) {
            fail(where + ": \"" + key + "\" is not a whole number");
            return fallback;
        }
        return static_cast<int>(d);
    }

    bool bool_of(const Json& o, const char* key, const std::string& where, bool fallback)
    {
        const auto v = o.find(key);
        if (v == o.end())
            return fallback;
        if (!v->is_boolean()) {
            fail(where + ": \"" + key + "\" is not true or false");
            return fallback;
        }
        return v->get<bool>();
    }

    static std::optional<ControlKind> kind_named(const std::string& s)
    {
        if (s == "numeric") return ControlKind::Numeric;
        if (s == "binary_switch") return ControlKind::BinarySwitch;
        if (s == "bit_toggle") return ControlKind::BitToggle;
        if (s == "command_button") return ControlKind::CommandButton;
        if (s == "text_message") return ControlKind::TextMessage;
        if (s == "text_box") return ControlKind::TextBox;
        if (s == "picture") return ControlKind::Picture;
        if (s == "decoration") return ControlKind::Decoration;
        return std::nullopt;
    }

    static std::optional<LabelPlace> label_place_named(const std::string& s)
    {
        if (s.empty() || s == "top") return LabelPlace::Top;
        if (s == "top_right") return LabelPlace::TopRight;
        if (s == "left") return LabelPlace::Left;
        return std::nullopt;
    }

    bool parse_control(const Json& o, int panel_id, ControlDef* c)
    {
        if (!o.is_object())
            return fail("a control is not an object");
        c->constant = string_of(o, "constant", "control", true);
        const std::string where = "control " + c->constant;
        c->id = app.control_id ? app.control_id(panel_id, c->constant) : -1;
        if (c->id < 0)
            return fail(where + ": no such constant");

        const auto kind = kind_named(string_of(o, "kind", where, true));
        if (!kind)
            return fail(where + ": unknown kind");
        c->kind = *kind;
        c->label = string_of(o, "label", where, false);
        if (!c->label.empty()) {
            const auto place = label_place_named(string_of(o, "label_place", where, false));
            if (!place)
                return fail(where + ": unknown label place");
            c->label_place = *place;
        }
        c->visible = bool_of(o, "visible", where, true);
        c->x = int_of(o, "x", where, true);
        c->y = int_of(o, "y", where, true);
        c->width = int_of(o, "width", where, true);
        c->height = int_of(o, "height", where, true);
        c->callback = string_of(o, "callback", where, false);
        c->shortcut = string_of(o, "shortcut", where, false);
        c->text = string_of(o, "text", where, false);
        c->image = string_of(o, "image", where, false);
        c->bold = bool_of(o, "bold", where, false);
        c->point_size = int_of(o, "point_size", where, false, 0);
        c->align_center = string_of(o, "align", where, false) == "center";
        c->wrap = bool_of(o, "wrap", where, false);
        c->saved = bool_of(o, "saved", where, true);
        c->fit = bool_of(o, "fit", where, false);
        const std::string color = string_of(o, "color", where, false);
        if (!color.empty() && !parse_color(color, &c->color))
            return fail(where + ": colour is not #RRGGBB");

        switch (c->kind) {
        case ControlKind::Numeric: {
            const std::string type = string_of(o, "type", where, true);
            if (type == "double")
                c->type = ValueType::Double;
            else if (type == "unsigned")
                c->type = ValueType::Unsigned;
            else
                return fail(where + ": a numeric field holds \"double\" or \"unsigned\"");
            c->minimum = number_of(o, "minimum", where, true);
            c->maximum = number_of(o, "maximum", where, true);
            c->increment = number_of(o, "increment", where, true);
            c->precision = int_of(o, "precision", where, true);
            c->initial = number_of(o, "initial", where, true);
            if (!(c->minimum <= c->initial && c->initial <= c->maximum))
                return fail(where + ": initial value outside the range");
            if (!(c->increment > 0.0) || c->precision < 0 || c->precision > 17)
                return fail(where + ": bad increment or precision");
            if (c->type == ValueType::Unsigned) {
                for (double d : {c->minimum, c->maximum, c->initial, c->increment})
                    if (d != std::trunc(d) || d < 0.0 || d > 4294967295.0)
                        return fail(where + ": an unsigned field's limits are whole numbers of 32 bits");
            }
            break;
        }
        case ControlKind::BinarySwitch:
            c->type = ValueType::Int;
            c->on_text = string_of(o, "on_text", where, true);
            c->off_text = string_of(o, "off_text", where, true);
            c->on_value = int_of(o, "on_value", where, true);
            c->off_value = int_of(o, "off_value", where, true);
            c->initial = int_of(o, "initial", where, true);
            if (c->on_value == c->off_value)
                return fail(where + ": on and off values are the same");
            if (c->initial != c->on_value && c->initial != c->off_value)
                return fail(where + ": initial value is neither position");
            break;
        case ControlKind::BitToggle:
            c->type = ValueType::Int;
            c->on_value = 1;
            c->off_value = 0;
            c->initial = 0;
            break;
        case ControlKind::TextBox:
            c->max_lines = int_of(o, "max_lines", where, false, 0);
            c->type = ValueType::Text;
            break;
        case ControlKind::TextMessage:
            c->type = ValueType::Text;
            break;
        case ControlKind::Picture:
            if (c->image.empty())
                return fail(where + ": a picture names its image");
            break;
        case ControlKind::CommandButton:
        case ControlKind::Decoration:
            break;
        }
        return error.empty();
    }

    bool parse_menu_bar(const Json& o, MenuBarDef* bar)
    {
        if (!o.is_object())
            return fail("a menu bar is not an object");
        bar->constant = string_of(o, "constant", "menu bar", true);
        bar->id = app.menu_id ? app.menu_id(bar->constant) : -1;
        if (bar->id < 0)
            return fail("menu bar " + bar->constant + ": no such constant");
        for (const Json& mv : array_at(o, "menus")) {
            const Json& mo = object_or_empty(mv);
            MenuDef menu;
            menu.constant = string_of(mo, "constant", "menu", true);
            menu.id = app.menu_id ? app.menu_id(menu.constant) : -1;
            menu.text = string_of(mo, "text", "menu " + menu.constant, true);
            if (menu.id < 0)
                return fail("menu " + menu.constant + ": no such constant");
            for (const Json& iv : array_at(mo, "items")) {
                const Json& io = object_or_empty(iv);
                MenuItemDef item;
                item.constant = string_of(io, "constant", "menu item", true);
                item.id = app.menu_id ? app.menu_id(item.constant) : -1;
                item.text = string_of(io, "text", "menu item " + item.constant, true);
                item.callback = string_of(io, "callback", "menu item " + item.constant, false);
                item.shortcut = string_of(io, "shortcut", "menu item " + item.constant, false);
                if (item.id < 0)
                    return fail("menu item " + item.constant + ": no such constant");
                menu.items.push_back(std::move(item));
            }
            bar->menus.push_back(std::move(menu));
        }
        return error.empty();
    }

    bool parse_panel(const Json& o, PanelDef* p)
    {
        if (!o.is_object())
            return fail("a panel is not an object");
        p->constant = string_of(o, "constant", "panel", true);
        p->id = app.panel_id ? app.panel_id(p->constant) : -1;
        const std::string where = "panel " + p->constant;
        if (p->id < 0)
            return fail(where + ": no such constant");
        p->title = string_of(o, "title", where, true);
        p->width = int_of(o, "width", where, true);
        p->height = int_of(o, "height", where, true);
        p->menu_bar = string_of(o, "menu_bar", where, false);
        std::set<int> seen;
        for (const Json& cv : array_at(o, "controls")) {
            ControlDef c;
            if (!parse_control(cv, p->id, &c))
                return false;
            if (!seen.insert(c.id).second)
                return fail("control " + c.constant + ": declared twice");
            p->controls.push_back(std::move(c));
        }
        return error.empty();
    }
};

}  // namespace

std::optional<UIResource> parse_ui_resource(std::string_view text, const UIApplication& application,
                                            std::string* error)
{
    Parser parser{application, {}};
    const std::string format = application.name + " ui resource 1";
    UIResource resource;
    Json doc;
    try {
        doc = Json::parse(text);
    } catch (const Json::exception& e) {  // malformed text, or a number beyond a double
        parser.fail("not a UI resource: " + json_error_text(e));
    }
    if (parser.error.empty() && !doc.is_object())
        parser.fail("not a UI resource: not a JSON object");
    if (parser.error.empty()) {
        const auto format_line = doc.find("format");
        if (format_line == doc.end() || !format_line->is_string() || format_line->get<std::string>() != format)
            parser.fail("not a UI resource of this program's format");
        for (const Json& bv : array_at(doc, "menu_bars")) {
            if (!parser.error.empty())
                break;
            MenuBarDef bar;
            if (parser.parse_menu_bar(bv, &bar))
                resource.menu_bars.push_back(std::move(bar));
        }
        for (const Json& pv : array_at(doc, "panels")) {
            if (!parser.error.empty())
                break;
            PanelDef panel;
            if (parser.parse_panel(pv, &panel))
                resource.panels.push_back(std::move(panel));
        }
        for (const PanelDef& p : resource.panels)
            if (!p.menu_bar.empty() && !resource.menu_bar(p.menu_bar))
                parser.fail("panel " + p.constant + ": no menu bar " + p.menu_bar);
    }
    if (!parser.error.empty()) {
        if (error)
            *error = parser.error;
        return std::nullopt;
    }
    return resource;
}

const PanelDef* UIResource::panel(int id) const
{
    for (const PanelDef& p : panels)
        if (p.id == id)
            return &p;
    return nullptr;
}

const MenuBarDef* UIResource::menu_bar(const std::string& constant) const
{
    for (const MenuBarDef& b : menu_bars)
        if (b.constant == constant)
            return &b;
    return nullptr;
}
