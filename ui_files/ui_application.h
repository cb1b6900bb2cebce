#pragma once
// What an application hands the panel layer: its name, the numbers of its UI
// resource's names, its callbacks and its pictures. Reading the resource and the
// panel-state file needs only the name and the numbers, and no toolkit.

#include <cstdint>
#include <string>
#include <string_view>

using CtrlCallbackPtr = int (*)(int panel, int control, int event, void* callbackData,
                                int eventData1, int eventData2);
using MenuCallbackPtr = void (*)(int menuBar, int menuItem, void* callbackData, int panel);
using PanelCallbackPtr = int (*)(int panel, int event, void* callbackData, int eventData1, int eventData2);
// Called from the event loop, never from inside a signal handler.
using TerminationCallbackPtr = void (*)(int signal);

// What an application hands the layer. Each look-up gives -1 or nullptr for a
// name it does not know; the resource is then refused.
struct UIApplication {
    // The program's name: it begins the resource's and the panel-state file's
    // format lines ("<name> ui resource 1", "# <name> panel state 1") and the
    // messages the layer prints.
    std::string name;
    // The numbers of the resource's panels, of each panel's controls, and of its
    // menu bars, menus and menu items.
    int (*panel_id)(std::string_view constant) = nullptr;
    int (*control_id)(int panel_id, std::string_view constant) = nullptr;
    int (*menu_id)(std::string_view constant) = nullptr;
    // The functions behind the callback names.
    CtrlCallbackPtr (*control_callback)(std::string_view name) = nullptr;
    MenuCallbackPtr (*menu_callback)(std::string_view name) = nullptr;
    // Paints the picture of that name into width x height pixels, 0xAARRGGBB
    // premultiplied, row by row; they start transparent. Returns false for a
    // name it does not know.
    bool (*paint_picture)(const char* name, int width, int height, uint32_t* pixels) = nullptr;
    // Called once a panel is built from the resource, before it is shown.
    void (*panel_loaded)(int panel, int panel_id) = nullptr;
};
