// The UI resource as the programs carry it: the header's constants name the same
// panels, controls and menu items in the same order, and zrctl's built-in copy is
// the panel's own resource.
#include "app/application.h"
#include "resource/built_in_resource.h"
#include "resource/New_Panel.h"
#include "ui_runtime/ui_resource_file.h"

#include <QFile>

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
