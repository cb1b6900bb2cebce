#pragma once
// The UI resource: a declarative description of panels, their controls and menu
// bars, read from JSON text. Parsing checks the whole description (every constant
// known to the application, every kind, type and range consistent) before
// anything is built from it. No toolkit: tools read the resource too.

#include "ui_files/ui_application.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class ControlKind { Numeric, BinarySwitch, BitToggle, CommandButton, TextMessage, TextBox, Picture, Decoration };
enum class ValueType { None, Int, Unsigned, Double, Text };
// Where a control's label stands relative to the control.
enum class LabelPlace { None, Top, TopRight, Left };

struct ControlDef {
    std::string constant;
    int id = 0;
    ControlKind kind = ControlKind::Decoration;
    ValueType type = ValueType::None;
    std::string label;
    LabelPlace label_place = LabelPlace::None;
    // Numeric fields.
    double minimum = 0.0;
    double maximum = 0.0;
    double increment = 0.0;
    int precision = 0;
    // Initial value of numeric fields, switches and toggles.
    double initial = 0.0;
    // Binary switches.
    std::string on_text;
    std::string off_text;
    int on_value = 1;
    int off_value = 0;
    // Text of messages, buttons and text boxes; image name of pictures.
    std::string text;
    std::string image;
    bool visible = true;
    int x = 0, y = 0, width = 0, height = 0;
    std::string callback;  // empty: none
    std::string shortcut;
    // Look of texts.
    bool bold = false;
    int point_size = 0;    // 0: the panel's font
    int color = -1;        // 0xRRGGBB, -1: the panel's colour
    bool align_center = false;
    bool wrap = false;
    // Whether the panel state keeps its value: a text the program rewrites from
    // what it finds at each start (the board it holds) is not kept.
    bool saved = true;
    bool fit = false;  // a text message cut to its width, whole in its tooltip
    // Text boxes: the most lines kept; the oldest go first. 0: no limit.
    int max_lines = 0;
};

struct MenuItemDef {
    std::string constant;
    int id = 0;
    std::string text;
    std::string callback;
    std::string shortcut;  // as Qt spells a key sequence ("Ctrl+S"); empty: none
};

struct MenuDef {
    std::string constant;
    int id = 0;
    std::string text;
    std::vector<MenuItemDef> items;
};

struct MenuBarDef {
    std::string constant;
    int id = 0;
    std::vector<MenuDef> menus;
};

struct PanelDef {
    std::string constant;
    int id = 0;
    std::string title;
    int width = 0, height = 0;
    std::string menu_bar;  // constant of its menu bar, empty: none
    std::vector<ControlDef> controls;
};

struct UIResource {
    std::vector<PanelDef> panels;
    std::vector<MenuBarDef> menu_bars;

    const PanelDef* panel(int id) const;
    const MenuBarDef* menu_bar(const std::string& constant) const;
};

// Parses the resource text of the application, which names its constants. On a
// fault returns nothing and says what was wrong in *error.
std::optional<UIResource> parse_ui_resource(std::string_view text, const UIApplication& application,
                                            std::string* error);
