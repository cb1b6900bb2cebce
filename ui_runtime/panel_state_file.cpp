// The panel layer's calls that save a loaded panel's state to its file and
// recall it, in the text format of panel_state.h.
#include "ui_files/panel_state.h"

#include "ui_runtime/ui_runtime.h"
#include "ui_runtime/ui_runtime_qt.h"
#include "ui_runtime/ui_runtime_state.h"

#include "ui_files/file_io.h"

namespace {

StateValue value_of(int panel, const ControlDef& c)
{
    StateValue v;
    v.control = &c;
    switch (c.type) {
    case ValueType::Int: {
        int n = 0;
        GetCtrlVal(panel, c.id, &n);
        v.number = n;
        break;
    }
    case ValueType::Unsigned: {
        unsigned n = 0;
        GetCtrlVal(panel, c.id, &n);
        v.number = n;
        break;
    }
    case ValueType::Double:
        GetCtrlVal(panel, c.id, &v.number);
        break;
    case ValueType::Text:
        GetCtrlVal(panel, c.id, &v.text);
        break;
    case ValueType::None:
        break;
    }
    return v;
}

void apply(int panel, const StateValue& v)
{
    const ControlDef& c = *v.control;
    switch (c.type) {
    case ValueType::Int: SetCtrlVal(panel, c.id, static_cast<int>(v.number)); break;
    case ValueType::Unsigned: SetCtrlVal(panel, c.id, static_cast<unsigned>(v.number)); break;
    case ValueType::Double: SetCtrlVal(panel, c.id, v.number); break;
    case ValueType::Text: SetCtrlVal(panel, c.id, v.text.c_str()); break;
    case ValueType::None: break;
    }
}

}  // namespace

std::vector<StateValue> current_state(int panel)
{
    std::vector<StateValue> values;
    for (const ControlDef* c : PanelControlDefs(panel))
        if (is_saved_in_state(*c))
            values.push_back(value_of(panel, *c));
    return values;
}

int SavePanelState(int panel, const char* file, int stateIndex, std::string* problem)
{
    if (!PanelWindow(panel))
        return UI_ERR_BAD_HANDLE;
    if (stateIndex != 0 || !file)
        return UI_ERR_STATE_FILE;
    const std::string& application = ui_layer::runtime().application.name;
    const std::string text = format_state(application, current_state(panel));
    // Never write what the reader would refuse at the next start.
    std::string why;
    std::vector<StateValue> check;
    if (text.size() > kLargestStateFile)
        why = "the panel's state is larger than a panel-state file may be";
    else if (!parse_state(text, application, PanelControlDefs(panel), &check, &why))
        why = "the state would not read back (" + why + ")";
    else if (replace_file(file, text, &why))
        return UI_OK;
    if (problem)
        *problem = why;
    return UI_ERR_STATE_FILE;
}

int RecallPanelState(int panel, const char* file, int stateIndex, std::string* problem)
{
    if (!PanelWindow(panel))
        return UI_ERR_BAD_HANDLE;
    if (stateIndex != 0 || !file)
        return UI_ERR_STATE_FILE;
    std::string why;
    std::vector<StateValue> values;
    switch (read_state_file(file, ui_layer::runtime().application.name, PanelControlDefs(panel), &values, &why)) {
    case StateFileVerdict::Fits: break;
    case StateFileVerdict::Missing: return UI_ERR_STATE_FILE;
    case StateFileVerdict::Unreadable:
        if (problem)
            *problem = why;
        return UI_ERR_STATE_UNREADABLE;
    case StateFileVerdict::DoesNotFit:
        if (problem)
            *problem = why;
        return UI_ERR_STATE_CONTENT;
    }
    return SetPanelStateValues(panel, values);
}

int SetPanelStateValues(int panel, const std::vector<StateValue>& values)
{
    if (!PanelWindow(panel))
        return UI_ERR_BAD_HANDLE;
    for (const StateValue& v : values)
        apply(panel, v);
    return UI_OK;
}
