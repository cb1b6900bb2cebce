#include "app/setups.h"

#include "app/bit_editors.h"
#include "app/toggle_rows.h"
#include "app/lifecycle.h"
#include "app/main_panel.h"
#include "resource/New_Panel.h"
#include "app/part_selection.h"
#include "ui_files/file_io.h"
#include "ui_runtime/ui_runtime.h"
#include "ui_runtime/ui_runtime_qt.h"
#include "resource/setup_file.h"
#include "app/state_keeping.h"
#include "app/status_box.h"

#include <cstdio>
#include <string>

namespace {

constexpr const char* kSaveTitle = "Save setup";
constexpr const char* kOpenTitle = "Open setup";
constexpr const char* kSetupFileName = "setup.zrs";
constexpr const char* kSetupKinds = "Setups (*.zrs)";
// A saved panel state opens as a setup that names its part only in its text.
constexpr const char* kOpenKinds = "Setups and panel states (*.zrs *.sts);;Setups (*.zrs);;Panel states (*.sts)";

}  // namespace

void Save_Setup(int, int, void*, int)
{
    std::string path;
    if (FileSelectPopup(".", kSetupFileName, "Save setup as", &path, kSetupKinds) != 1)
        return;
    if (refused_as_own_file(path, kSaveTitle, "the setup"))
        return;
    const std::string text = format_setup(regs.N_flag, current_state(MainPanelHandle));
    // Never write what opening would refuse.
    SettingsFile check;
    std::string why;
    if (text.size() > kLargestStateFile)
        why = "the panel's state is larger than a setup may be";
    else if (!parse_settings_file(text, PanelControlDefs(MainPanelHandle), &check, &why))
        why = "the setup would not read back (" + why + ")";
    else if (replace_file(path, text, &why)) {
        append_status("Setup saved to %s (%s).\n", path.c_str(), part_menu_name(regs.N_flag).c_str());
        return;
    }
    std::snprintf(buf, kBufSize, "The setup could not be saved to %s: %s.", path.c_str(), why.c_str());
    MessagePopup(kSaveTitle, buf);
}

void Open_Setup(int, int, void*, int)
{
    std::string path;
    if (FileOpenPopup(".", "Open setup", &path, kOpenKinds) != 1)
        return;
    SettingsFile file;
    std::string problem;
    if (read_settings_file(path, PanelControlDefs(MainPanelHandle), &file, &problem) != StateFileVerdict::Fits) {
        std::snprintf(buf, kBufSize, "%s was not opened: %s. Nothing on the panel was changed.", path.c_str(),
                      problem.c_str());
        MessagePopup(kOpenTitle, buf);
        return;
    }
    // The part text is the part selection's to write.
    std::vector<StateValue> values;
    for (const StateValue& v : file.values)
        if (v.control->id != PANEL_TEXTMSG_10)
            values.push_back(v);
    SetPanelStateValues(MainPanelHandle, values);
    // The recompute sets the bits of R, M, A and K from their fields; E has none.
    unsigned E = 0;
    GetCtrlVal(MainPanelHandle, PANEL_E_REG, &E);
    set_toggles(kEToggles, E);
    if (file.part)
        Select_Mode(GetPanelMenuBar(MainPanelHandle),
                    *file.part == ZR3500 ? MENU_CHANGE_PART_ZR3500 : MENU_CHANGE_PART_ZR3100, nullptr,
                    MainPanelHandle);
    // As the prescaler switch does when clicked: bypassed, A means nothing and is dimmed.
    prescaler_select_menu_changed(MainPanelHandle, PANEL_SEC_4, EVENT_COMMIT, nullptr, 0, 0);
    if (file.part)
        append_status("Setup %s opened: %s.\n", path.c_str(), part_menu_name(*file.part).c_str());
    else
        append_status("Panel state %s opened; it names no part, so %s stays.\n", path.c_str(),
                      part_menu_name(regs.N_flag).c_str());
}
