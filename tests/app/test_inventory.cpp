// Every control of the main panel, read back from the loaded panel: kind, label,
// range, initial value, visibility, callback and place.
#include "support/panel_fixture.h"

#include "app/board/programming_frames.h"
#include "app/bit_editors.h"
#include "app/numeric_fields.h"
#include "app/lifecycle.h"
#include "app/application.h"
#include "app/about.h"
#include "app/shutdown.h"
#include "app/part_selection.h"
#include "ui_runtime/ui_resource_file.h"
#include "ui_runtime/ui_runtime.h"
#include "ui_runtime/ui_runtime_qt.h"
#include "ui_runtime/widgets.h"

#include <QAction>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>

#include <map>
#include <set>
#include <vector>

namespace {

std::string label_of(int panel, int control)
{
    QLabel* l = CtrlLabelWidget(panel, control);
    return l ? l->text().toStdString() : std::string();
}

struct Geometry {
    int left, top, width, height;
};

Geometry geometry_of(int panel, int control)
{
    Geometry g{};
    GetCtrlAttribute(panel, control, ATTR_LEFT, &g.left);
    GetCtrlAttribute(panel, control, ATTR_TOP, &g.top);
    GetCtrlAttribute(panel, control, ATTR_WIDTH, &g.width);
    GetCtrlAttribute(panel, control, ATTR_HEIGHT, &g.height);
    return g;
}

}  // namespace

TEST_F(MainPanelTest, NumericFields)
{
    struct Field {
        int control;
        const char* label;
        bool is_unsigned;
        double minimum, maximum, increment;
        int precision;
        double initial;
        bool visible;
        CtrlCallbackPtr callback;
    };
    const Field fields[] = {
        {PANEL_REF_FREQ, "Ref Freq (MHz)", false, 0.0, 100.0, 1.0, 2, 100.0, true, spin_new_reg_values},
        {PANEL_PLL_FREQ, "Out Freq (MHz)", false, 0.0, 5000.0, 0.2, 7, 4000.0, true, spin_new_reg_values},
        {PANEL_R_REG, "R =", true, 0, 63, 1, 0, 1, true, spin_new_reg_values},
        {PANEL_M_REG, "M =", true, 0, 511, 1, 0, 7, true, spin_new_reg_values},
        {PANEL_A_REG, "A =", true, 0, 15, 1, 0, 0, true, spin_new_reg_values},
        {PANEL_K_REG, "K =", true, 0, 262143, 1, 0, 0, false, spin_new_reg_values},
        {PANEL_E_REG, "E =", true, 0, 255, 1, 0, 0, true, Enhancement_mode_menu_changed},
    };
    for (const Field& f : fields) {
        const std::string name = CtrlDef(panel, f.control)->constant;
        auto* w = qobject_cast<NumericField*>(widget(f.control));
        ASSERT_NE(w, nullptr) << name << " is a numeric field";
        EXPECT_EQ(label_of(panel, f.control), f.label) << name;
        EXPECT_EQ(w->isUnsigned(), f.is_unsigned) << name;
        EXPECT_EQ(w->minimum(), f.minimum) << name;
        EXPECT_EQ(w->maximum(), f.maximum) << name;
        EXPECT_EQ(w->singleStep(), f.increment) << name;
        EXPECT_EQ(w->displayPrecision(), f.precision) << name;
        EXPECT_EQ(w->value(), f.initial) << name;
        EXPECT_EQ(visible(f.control), f.visible) << name;
        EXPECT_EQ(CtrlCallback(panel, f.control), f.callback) << name;
    }
}

TEST_F(MainPanelTest, OptionSwitches)
{
    struct Switch {
        int control;
        const char* label;
        const char* on_text;
        int on_value;
        const char* off_text;
        int off_value;
        int initial;
        bool visible;
        CtrlCallbackPtr callback;
    };
    const Switch switches[] = {
        {PANEL_SEC_4, "Prescaler", "Enable", 0, "Disable", 1, 1, true, prescaler_select_menu_changed},
        {PANEL_MOD_SEL, "Mod Select", "5/6", 1, "10/11", 0, 0, true, callbacks},
        {PANEL_RAND_EN, "RAND_EN", "Enable", 1, "Disable", 0, 0, false, callbacks},
        {PANEL_MASH, "MASH2SEL", "1-1", 1, "1-1-1", 0, 1, false, callbacks},
        {PANEL_ENHBAR, "ENH", "Enable  (Low)", 0, "Disable (High)", 1, 0, true, callbacks},
        {PANEL_LNM, "LNM (MODE 1)", "Jumper in", 1, "Jumper out", 0, 1, false, callbacks},
    };
    int previous_left = -1;
    for (const Switch& s : switches) {
        const std::string name = CtrlDef(panel, s.control)->constant;
        auto* w = qobject_cast<BinarySwitch*>(widget(s.control));
        ASSERT_NE(w, nullptr) << name << " is a binary switch";
        EXPECT_EQ(label_of(panel, s.control), s.label) << name;
        EXPECT_EQ(w->onText().toStdString(), s.on_text) << name;
        EXPECT_EQ(w->onValue(), s.on_value) << name;
        EXPECT_EQ(w->offText().toStdString(), s.off_text) << name;
        EXPECT_EQ(w->offValue(), s.off_value) << name;
        EXPECT_EQ(int_val(s.control), s.initial) << name;
        EXPECT_EQ(visible(s.control), s.visible) << name;
        EXPECT_EQ(CtrlCallback(panel, s.control), s.callback) << name;
        const Geometry g = geometry_of(panel, s.control);
        EXPECT_GT(g.left, previous_left) << name << " stands right of the switch before it";
        EXPECT_GE(g.top, 490) << name;
        EXPECT_LE(g.top + g.height, 546) << name;
        previous_left = g.left;
    }
}

TEST_F(MainPanelTest, BitTogglesRunFromTheHighestBitAtTheLeft)
{
    struct Row {
        std::vector<int> controls;
        CtrlCallbackPtr callback;
        bool visible;
    };
    const Row rows[] = {
        {{PANEL_SEC_0, PANEL_SEC_1, PANEL_SEC_12, PANEL_SEC_13, PANEL_SEC_14, PANEL_SEC_15}, R_reg_Change, true},
        {{PANEL_SEC_2, PANEL_SEC_3, PANEL_SEC_5, PANEL_SEC_6, PANEL_SEC_7, PANEL_SEC_8, PANEL_SEC_9, PANEL_SEC_10,
          PANEL_SEC_11},
         M_reg_Change, true},
        {{PANEL_SEC_16, PANEL_SEC_17, PANEL_SEC_18, PANEL_SEC_19}, A_reg_Change, true},
        {{PANEL_AUX_0,  PANEL_AUX_1,  PANEL_AUX_2,  PANEL_AUX_3,  PANEL_AUX_4,  PANEL_AUX_5,
          PANEL_AUX_6,  PANEL_AUX_7,  PANEL_AUX_8,  PANEL_AUX_9,  PANEL_AUX_10, PANEL_AUX_11,
          PANEL_AUX_12, PANEL_AUX_13, PANEL_AUX_14, PANEL_AUX_15, PANEL_AUX_16, PANEL_AUX_17},
         K_reg_Change, false},
        {{PANEL_ENHBIT_0, PANEL_ENHBIT_1, PANEL_ENHBIT_2, PANEL_ENHBIT_3, PANEL_ENHBIT_4, PANEL_ENHBIT_5,
          PANEL_ENHBIT_6, PANEL_ENHBIT_7},
         Enhancement_reg_changed, true},
    };
    int previous_row_right = 0;
    for (const Row& row : rows) {
        const int n = static_cast<int>(row.controls.size());
        for (int i = 0; i < n; ++i) {
            const int c = row.controls[i];
            const std::string name = CtrlDef(panel, c)->constant;
            ASSERT_NE(qobject_cast<BitToggle*>(widget(c)), nullptr) << name << " is a bit toggle";
            EXPECT_EQ(label_of(panel, c), std::to_string(n - 1 - i)) << name << " is labelled with its bit";
            EXPECT_EQ(int_val(c), 0) << name;
            EXPECT_EQ(visible(c), row.visible) << name;
            EXPECT_EQ(CtrlCallback(panel, c), row.callback) << name;
            const Geometry g = geometry_of(panel, c);
            EXPECT_GT(g.left, previous_row_right) << name;
            EXPECT_GE(g.top, 402) << name;
            EXPECT_LE(g.top + g.height, 475) << name;
            previous_row_right = g.left;
        }
    }
}

TEST_F(MainPanelTest, ButtonsTextsAndPictures)
{
    struct Plain {
        int control;
        ControlKind kind;
        const char* text;
        bool visible;
        CtrlCallbackPtr callback;
    };
    const Plain controls[] = {
        {PANEL_SEND_DATA, ControlKind::CommandButton, "Program Device", true, SEND_DATA},
        {PANEL_QUIT, ControlKind::CommandButton, "QUIT", true, Shutdown},
        {PANEL_Status, ControlKind::TextBox, "", true, nullptr},
        {PANEL_TEXTMSG_10, ControlKind::TextMessage, "Select Part", true, nullptr},
        {PANEL_TEXTMSG_41, ControlKind::TextMessage,
         "The USB interface board is not connected.  Please connect it and restart the program.", false, nullptr},
        {PANEL_TEXTMSG_42, ControlKind::TextMessage, "USB-SPI Interface board connected.", false, nullptr},
        {PANEL_TEXTMSG_6, ControlKind::TextMessage, "Fc", true, nullptr},
        {PANEL_TEXTMSG_8, ControlKind::TextMessage, "Fp", true, nullptr},
        {PANEL_TEXTMSG_7, ControlKind::TextMessage, "Fin", true, nullptr},
        {PANEL_TEXTMSG_4, ControlKind::TextMessage, "R=0", true, nullptr},
        {PANEL_TEXTMSG_5, ControlKind::TextMessage, "N=0", true, nullptr},
        {PANEL_TEXTMSG_6_1, ControlKind::TextMessage, "Fc = Fr / (R + 1) ", true, nullptr},
        {PANEL_TEXTMSG_8_1, ControlKind::TextMessage, "Fp = Fin / (10 x (M + 1) + A + [(2 x K + RAND_EN) / 524288)] ",
         true, nullptr},
        {PANEL_TEXTMSG_7_1, ControlKind::TextMessage,
         "Fin = [10 x (M + 1) + A + [(2 x K + RAND_EN) / 524288)] x fr / (R + 1)]", true, nullptr},
        {PANEL_TEXTMSG_H, ControlKind::TextMessage, "Register Settings", true, nullptr},
        {PANEL_TEXTMSG_2, ControlKind::TextMessage, "R-Counter", true, nullptr},
        {PANEL_TEXTMSG_74, ControlKind::TextMessage, "M-Counter", true, nullptr},
        {PANEL_TEXTMSG_75, ControlKind::TextMessage, "A-Counter", true, nullptr},
        {PANEL_TEXTMSG_76, ControlKind::TextMessage, "K-Counter", false, nullptr},
        {PANEL_TEXTMSG_77, ControlKind::TextMessage, "Enhancement", true, nullptr},
        {PANEL_TEXTMSG_3, ControlKind::TextMessage, "____", true, nullptr},
        {PANEL_PICTURE_2, ControlKind::Picture, "", true, CORVANE},
        {PANEL_picSPI_SEN, ControlKind::Picture, "", true, nullptr},
        {PANEL_DECORATION, ControlKind::Decoration, "", true, nullptr},
    };
    for (const Plain& p : controls) {
        const std::string name = CtrlDef(panel, p.control)->constant;
        EXPECT_EQ(CtrlDef(panel, p.control)->kind, p.kind) << name;
        QWidget* w = widget(p.control);
        switch (p.kind) {
        case ControlKind::CommandButton:
            EXPECT_EQ(qobject_cast<QPushButton*>(w)->text().toStdString(), p.text) << name;
            break;
        case ControlKind::TextMessage:
        case ControlKind::TextBox:
            EXPECT_EQ(text(p.control), p.text) << name;
            break;
        case ControlKind::Picture:
            ASSERT_NE(qobject_cast<PictureBox*>(w), nullptr) << name;
            EXPECT_FALSE(qobject_cast<PictureBox*>(w)->pixmap().isNull()) << name << " shows its artwork";
            break;
        default:
            ASSERT_NE(qobject_cast<QFrame*>(w), nullptr) << name;
            break;
        }
        EXPECT_EQ(visible(p.control), p.visible) << name;
        EXPECT_EQ(CtrlCallback(panel, p.control), p.callback) << name;
        EXPECT_FALSE(dimmed(p.control)) << name;
    }
    EXPECT_EQ(label_of(panel, PANEL_Status), "Status");
}

TEST_F(MainPanelTest, LayoutBands)
{
    int width = 0, height = 0;
    GetPanelAttribute(panel, ATTR_WIDTH, &width);
    GetPanelAttribute(panel, ATTR_HEIGHT, &height);
    EXPECT_EQ(width, 803);
    EXPECT_EQ(height, 608) << "the stored height; start-up raises it to 805";

    const Geometry background = geometry_of(panel, PANEL_picSPI_SEN);
    EXPECT_EQ(background.top, 22);
    EXPECT_EQ(background.top + background.height, 606);
    EXPECT_EQ(background.width, 801);
    const Geometry logo = geometry_of(panel, PANEL_PICTURE_2);
    EXPECT_EQ(logo.left, 530);
    EXPECT_EQ(logo.left + logo.width, 782);
    EXPECT_EQ(logo.top, 33);
    EXPECT_EQ(logo.top + logo.height, 109);

    // QUIT and the status box lie below the stored height, out of sight until start-up.
    for (int c : {PANEL_QUIT, PANEL_Status})
        EXPECT_GE(geometry_of(panel, c).top, 608) << CtrlDef(panel, c)->constant;
    const Geometry status = geometry_of(panel, PANEL_Status);
    EXPECT_EQ(status.left, 48);
    EXPECT_EQ(status.left + status.width, 343);
    EXPECT_EQ(status.top, 640);
    EXPECT_EQ(status.top + status.height, 733);
    const Geometry quit = geometry_of(panel, PANEL_QUIT);
    EXPECT_EQ(quit.left, 624);
    EXPECT_EQ(quit.top, 676);
    const Geometry send = geometry_of(panel, PANEL_SEND_DATA);
    EXPECT_EQ(send.left, 595);
    EXPECT_EQ(send.top, 516);
    const Geometry frame = geometry_of(panel, PANEL_DECORATION);
    EXPECT_EQ(frame.left, 12);
    EXPECT_EQ(frame.left + frame.width, 788);
    EXPECT_EQ(frame.top, 377);
    EXPECT_EQ(frame.top + frame.height, 486);
    // The two board notices share one place.
    const Geometry not_connected = geometry_of(panel, PANEL_TEXTMSG_41);
    const Geometry connected = geometry_of(panel, PANEL_TEXTMSG_42);
    EXPECT_EQ(not_connected.left, 45);
    EXPECT_EQ(not_connected.top, 569);
    EXPECT_EQ(connected.left, not_connected.left);
    EXPECT_EQ(connected.top, not_connected.top);

    // The register fields stand in the order of the bit rows, below them.
    int previous_left = 0;
    for (int c : {PANEL_R_REG, PANEL_M_REG, PANEL_A_REG, PANEL_K_REG, PANEL_E_REG}) {
        const Geometry g = geometry_of(panel, c);
        EXPECT_GT(g.left, previous_left) << CtrlDef(panel, c)->constant;
        EXPECT_GT(g.top, 440) << CtrlDef(panel, c)->constant;
        EXPECT_LT(g.top + g.height, 486) << CtrlDef(panel, c)->constant;
        previous_left = g.left;
    }
}

TEST_F(MainPanelTest, MenuBar)
{
    const int bar = GetPanelMenuBar(panel);
    QMenuBar* menu_bar = PanelMenuBarWidget(panel);
    ASSERT_NE(menu_bar, nullptr);
    const QList<QAction*> all = menu_bar->actions();
    std::vector<std::string> titles;
    for (QAction* m : all)
        titles.push_back(QString(m->text()).remove(QLatin1Char('&')).toStdString());  // only underlined
    EXPECT_EQ(titles, (std::vector<std::string>{"Setup", "Select Part", "Tools", "Help"}))
        << "the panel's own two menus keep their order, the added ones stand beside them";
    ASSERT_EQ(all.size(), 4);
    const QList<QAction*> menus = {all[1], all[3]};
    struct Item {
        int menu;
        int index;
        int constant;
        const char* text;
        MenuCallbackPtr callback;
    };
    for (const Item& i : {Item{0, 0, MENU_CHANGE_PART_ZR3100, "ZR3100", Select_Mode},
                          Item{0, 1, MENU_CHANGE_PART_ZR3500, "ZR3500", Select_Mode},
                          Item{1, 0, MENU_HELP_ABOUT, "About", About}}) {
        const QList<QAction*> items = menus[i.menu]->menu()->actions();
        ASSERT_GT(items.size(), i.index);
        QAction* a = items[i.index];
        EXPECT_EQ(QString(a->text()).remove(QLatin1Char('&')).toStdString(), i.text);
        EXPECT_TRUE(a->shortcut().isEmpty()) << i.text;
        EXPECT_FALSE(a->isCheckable()) << i.text;
        EXPECT_EQ(MenuItemCallback(bar, i.constant), i.callback) << i.text;
    }
    EXPECT_EQ(menus[0]->menu()->actions().size(), 2);
    EXPECT_EQ(menus[1]->menu()->actions().size(), 1);
}

TEST(UIResource, SplashPanel)
{
    const int splash = LoadPanel(0, kResourceFile, PANEL_2);
    ASSERT_GT(splash, 0);
    int width = 0, height = 0;
    GetPanelAttribute(splash, ATTR_WIDTH, &width);
    GetPanelAttribute(splash, ATTR_HEIGHT, &height);
    EXPECT_EQ(width, 318);
    EXPECT_EQ(height, 255);
    EXPECT_EQ(GetPanelMenuBar(splash), UI_ERR_BAD_HANDLE);
    for (auto [control, w, h] : {std::tuple{PANEL_2_PICTURE_2, 320, 111}, std::tuple{PANEL_2_PICTURE_4, 320, 70}}) {
        int pw = 0, ph = 0;
        GetCtrlAttribute(splash, control, ATTR_WIDTH, &pw);
        GetCtrlAttribute(splash, control, ATTR_HEIGHT, &ph);
        EXPECT_EQ(pw, w);
        EXPECT_EQ(ph, h);
        EXPECT_EQ(CtrlCallback(splash, control), CORVANE);
    }
    std::string product;
    GetCtrlVal(splash, PANEL_2_TEXTMSG_41, &product);
    EXPECT_NE(product.find("ZR3100"), std::string::npos);
    DiscardPanel(splash);
}

TEST(UIResource, HeaderAndResourceNameTheSameConstants)
{
    std::string error;
    const std::optional<UIResource> resource = load_ui_resource("New_Panel.uir", zr_eval_application(), &error);
    ASSERT_TRUE(resource) << error;

    auto names_in = [](ConstantGroup g) {
        std::vector<std::string> names;
        for (const NamedConstant* c = constants_begin(g); c != constants_end(g); ++c)
            names.emplace_back(c->name);
        return names;
    };
    auto controls_of = [&](int panel) {
        std::vector<std::string> names;
        for (const ControlDef& c : resource->panel(panel)->controls)
            names.push_back(c.constant);
        return names;
    };
    EXPECT_EQ(controls_of(PANEL), names_in(ConstantGroup::MainControls)) << "same controls, in the same order";
    EXPECT_EQ(controls_of(PANEL_2), names_in(ConstantGroup::SplashControls));

    std::vector<std::string> panels;
    for (const PanelDef& p : resource->panels)
        panels.push_back(p.constant);
    EXPECT_EQ(panels, names_in(ConstantGroup::Panels));

    std::vector<std::string> menu;
    for (const MenuBarDef& b : resource->menu_bars) {
        menu.push_back(b.constant);
        for (const MenuDef& m : b.menus) {
            menu.push_back(m.constant);
            for (const MenuItemDef& i : m.items)
                menu.push_back(i.constant);
        }
    }
    EXPECT_EQ(menu, names_in(ConstantGroup::Menu));
}

TEST(UIResource, TheToolsCopyIsThePanelsResource)
{
    QFile panels_copy(QStringLiteral(":/New_Panel.uir"));
    ASSERT_TRUE(panels_copy.open(QIODevice::ReadOnly));
    const QByteArray text = panels_copy.readAll();
    EXPECT_EQ(new_panel_resource_text(), std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
}
