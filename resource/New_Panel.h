#pragma once
// Constants of the UI resource "New_Panel.uir": its panels, the controls of each
// panel and the menu bar. The resource names every control by one of these
// constants; the loader resolves the names through the tables below, so the
// numbers live here only.

#include <string_view>

#define NEW_PANEL_PANELS(X) \
    X(PANEL)                \
    X(PANEL_2)

// Controls of the main panel, in resource order.
#define NEW_PANEL_MAIN_CONTROLS(X)                                              \
    X(PANEL_picSPI_SEN)                                                         \
    X(PANEL_PICTURE_2)                                                          \
    X(PANEL_DECORATION)                                                         \
    X(PANEL_REF_FREQ)                                                           \
    X(PANEL_PLL_FREQ)                                                           \
    X(PANEL_TEXTMSG_10)                                                         \
    X(PANEL_TEXTMSG_6_1)                                                        \
    X(PANEL_TEXTMSG_6)                                                          \
    X(PANEL_TEXTMSG_4)                                                          \
    X(PANEL_TEXTMSG_5)                                                          \
    X(PANEL_TEXTMSG_8_1)                                                        \
    X(PANEL_TEXTMSG_8)                                                          \
    X(PANEL_TEXTMSG_7_1)                                                        \
    X(PANEL_TEXTMSG_7)                                                          \
    X(PANEL_TEXTMSG_H)                                                          \
    X(PANEL_TEXTMSG_2)                                                          \
    X(PANEL_TEXTMSG_74)                                                         \
    X(PANEL_TEXTMSG_75)                                                         \
    X(PANEL_TEXTMSG_76)                                                         \
    X(PANEL_TEXTMSG_77)                                                         \
    X(PANEL_SEC_0) X(PANEL_SEC_1) X(PANEL_SEC_12) X(PANEL_SEC_13)               \
    X(PANEL_SEC_14) X(PANEL_SEC_15)                                             \
    X(PANEL_SEC_2) X(PANEL_SEC_3) X(PANEL_SEC_5) X(PANEL_SEC_6) X(PANEL_SEC_7)  \
    X(PANEL_SEC_8) X(PANEL_SEC_9) X(PANEL_SEC_10) X(PANEL_SEC_11)               \
    X(PANEL_SEC_16) X(PANEL_SEC_17) X(PANEL_SEC_18) X(PANEL_SEC_19)             \
    X(PANEL_AUX_0) X(PANEL_AUX_1) X(PANEL_AUX_2) X(PANEL_AUX_3) X(PANEL_AUX_4)  \
    X(PANEL_AUX_5) X(PANEL_AUX_6) X(PANEL_AUX_7) X(PANEL_AUX_8) X(PANEL_AUX_9)  \
    X(PANEL_AUX_10) X(PANEL_AUX_11) X(PANEL_AUX_12) X(PANEL_AUX_13)             \
    X(PANEL_AUX_14) X(PANEL_AUX_15) X(PANEL_AUX_16) X(PANEL_AUX_17)             \
    X(PANEL_ENHBIT_0) X(PANEL_ENHBIT_1) X(PANEL_ENHBIT_2) X(PANEL_ENHBIT_3)     \
    X(PANEL_ENHBIT_4) X(PANEL_ENHBIT_5) X(PANEL_ENHBIT_6) X(PANEL_ENHBIT_7)     \
    X(PANEL_R_REG)                                                              \
    X(PANEL_M_REG)                                                              \
    X(PANEL_A_REG)                                                              \
    X(PANEL_K_REG)                                                              \
    X(PANEL_E_REG)                                                              \
    X(PANEL_TEXTMSG_3)                                                          \
    X(PANEL_SEC_4)                                                              \
    X(PANEL_MOD_SEL)                                                            \
    X(PANEL_RAND_EN)                                                            \
    X(PANEL_MASH)                                                               \
    X(PANEL_ENHBAR)                                                             \
    X(PANEL_LNM)                                                                \
    X(PANEL_SEND_DATA)                                                          \
    X(PANEL_TEXTMSG_41)                                                         \
    X(PANEL_TEXTMSG_42)                                                         \
    X(PANEL_BOARD)                                                              \
    X(PANEL_Status)                                                             \
    X(PANEL_QUIT)                                                               \
    X(PANEL_SOLVE_REPORT)                                                       \
    X(PANEL_SPUR_REPORT)

// Controls of the splash panel.
#define NEW_PANEL_SPLASH_CONTROLS(X) \
    X(PANEL_2_PICTURE_2)             \
    X(PANEL_2_PICTURE_4)             \
    X(PANEL_2_TEXTMSG_41)

// The menu bar of the main panel: the bar, its menus and their items. The
// "Setup", "Tools" and "Board" menus stand beside the two of the original panel.
#define NEW_PANEL_MENU(X)         \
    X(MENU)                       \
    X(MENU_SETUP)                 \
    X(MENU_SETUP_SAVE)            \
    X(MENU_SETUP_OPEN)            \
    X(MENU_CHANGE_PART)           \
    X(MENU_CHANGE_PART_ZR3100)    \
    X(MENU_CHANGE_PART_ZR3500)    \
    X(MENU_TOOLS)                 \
    X(MENU_TOOLS_SWEEP)           \
    X(MENU_TOOLS_BUS_VIEW)        \
    X(MENU_TOOLS_COPY_WORDS)      \
    X(MENU_TOOLS_EXPORT)          \
    X(MENU_TOOLS_IMPORT)          \
    X(MENU_BOARD)                 \
    X(MENU_BOARD_CHOOSE)          \
    X(MENU_BOARD_RESCAN)          \
    X(MENU_BOARD_DISCONNECT)      \
    X(MENU_HELP)                  \
    X(MENU_HELP_ABOUT)

#define NEW_PANEL_ENUMERATOR(name) name,

// Panels count from 1; the controls of each panel from 2, as do the menu's.
enum NewPanelPanel : int { NEW_PANEL_PANELS_BEFORE_FIRST_ = 0, NEW_PANEL_PANELS(NEW_PANEL_ENUMERATOR) };
enum NewPanelMainControl : int { PANEL_CONTROLS_BEFORE_FIRST_ = 1, NEW_PANEL_MAIN_CONTROLS(NEW_PANEL_ENUMERATOR) };
enum NewPanelSplashControl : int { PANEL_2_CONTROLS_BEFORE_FIRST_ = 1, NEW_PANEL_SPLASH_CONTROLS(NEW_PANEL_ENUMERATOR) };
enum NewPanelMenu : int { MENU_BEFORE_FIRST_ = 0, NEW_PANEL_MENU(NEW_PANEL_ENUMERATOR) };

#undef NEW_PANEL_ENUMERATOR

// Name-to-number look-up for the panel layer's loader; the tests use it to
// compare the header with the resource.
struct NamedConstant {
    std::string_view name;
    int value;
};

enum class ConstantGroup { Panels, MainControls, SplashControls, Menu };

// The constants of one group, in the order above.
const NamedConstant* constants_begin(ConstantGroup group);
const NamedConstant* constants_end(ConstantGroup group);
// The value of name within group, or -1.
int find_constant(ConstantGroup group, std::string_view name);

// The name of a constant of the group, or "" when the group has none of that value.
std::string_view constant_name(ConstantGroup group, int value);
