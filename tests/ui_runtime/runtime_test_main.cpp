// The panel layer's tests drive the real widgets on Qt's offscreen platform.
#include "ui_runtime/runtime_application.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string_view>

std::vector<RecordedCall> recorded_calls;

namespace {

int count_control(int, int control, int event, void*, int, int)
{
    recorded_calls.push_back({control, event});
    return 0;
}

void count_menu(int, int item, void*, int)
{
    recorded_calls.push_back({-1, item});
}

int id_in(std::string_view constant, std::initializer_list<std::pair<std::string_view, int>> names)
{
    for (const auto& [name, id] : names)
        if (name == constant)
            return id;
    return -1;
}

// A plain square, so that a picture's size can be seen in its pixels.
bool paint_square(const char* name, int width, int height, uint32_t* pixels)
{
    if (std::strcmp(name, "square") != 0)
        return false;
    for (int i = 0; i < width * height; ++i)
        pixels[i] = 0xFF336699u;
    return true;
}

}  // namespace

const UIApplication& test_application()
{
    static const UIApplication application = [] {
        UIApplication a;
        a.name = "bench-test";
        a.panel_id = [](std::string_view c) { return id_in(c, {{"WINDOW", WINDOW}}); };
        a.control_id = [](int panel, std::string_view c) {
            if (panel != WINDOW)
                return -1;
            return id_in(c, {{"WINDOW_PICTURE", WINDOW_PICTURE}, {"WINDOW_FREQ", WINDOW_FREQ},
                             {"WINDOW_COUNT", WINDOW_COUNT}, {"WINDOW_SWITCH", WINDOW_SWITCH},
                             {"WINDOW_BIT", WINDOW_BIT}, {"WINDOW_TEXT", WINDOW_TEXT}, {"WINDOW_LOG", WINDOW_LOG},
                             {"WINDOW_GO", WINDOW_GO}, {"WINDOW_HIDDEN", WINDOW_HIDDEN}});
        };
        a.menu_id = [](std::string_view c) {
            return id_in(c, {{"BAR", BAR}, {"BAR_FILE", BAR_FILE}, {"BAR_FILE_COUNT", BAR_FILE_COUNT}});
        };
        a.control_callback = [](std::string_view name) -> CtrlCallbackPtr {
            return name == "count_control" ? count_control : nullptr;
        };
        a.menu_callback = [](std::string_view name) -> MenuCallbackPtr {
            return name == "count_menu" ? count_menu : nullptr;
        };
        a.paint_picture = paint_square;
        return a;
    }();
    return application;
}

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    // Death tests re-run the test binary instead of forking a process with Qt's threads.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    if (InitUIRuntime(argc, argv, test_application()) != 0)
        return 1;
    const int result = RUN_ALL_TESTS();
    CloseUIRuntime();
    return result;
}
