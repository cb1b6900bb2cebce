// libFuzzer target of the panel-state reader: whatever the file holds, the
// reader never crashes or reads out of bounds, and it either accepts the file
// whole, with every value fit for its control, or changes nothing and says why.
#include "app/application.h"
#include "resource/New_Panel.h"
#include "ui_files/panel_state.h"
#include "ui_runtime/ui_resource_file.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "panel-state reader: %s\n", what);
        std::abort();
    }
}

const std::vector<const ControlDef*>& main_panel_controls()
{
    static const UIResource resource = [] {
        std::string error;
        std::optional<UIResource> r = load_ui_resource("New_Panel.uir", zr_eval_application(), &error);
        require(r.has_value(), "the UI resource does not load");
        return *r;
    }();
    static const std::vector<const ControlDef*> controls = [] {
        std::vector<const ControlDef*> c;
        for (const ControlDef& d : resource.panel(PANEL)->controls)
            c.push_back(&d);
        return c;
    }();
    return controls;
}

bool fits(const StateValue& v)
{
    const ControlDef& c = *v.control;
    switch (c.type) {
    case ValueType::Int: return v.number == c.on_value || v.number == c.off_value;
    case ValueType::Unsigned: return v.number == std::trunc(v.number) && v.number >= c.minimum && v.number <= c.maximum;
    case ValueType::Double: return std::isfinite(v.number);
    case ValueType::Text: return true;
    case ValueType::None: return false;
    }
    return false;
}

bool same(const std::vector<StateValue>& a, const std::vector<StateValue>& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].control != b[i].control || a[i].text != b[i].text ||
            std::signbit(a[i].number) != std::signbit(b[i].number) || a[i].number != b[i].number)
            return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const auto& controls = main_panel_controls();
    const std::string text(reinterpret_cast<const char*>(data), size);

    StateValue untouched;
    untouched.text = "untouched";
    std::vector<StateValue> values{untouched};
    std::string problem;
    if (!parse_state(text, kProgramName, controls, &values, &problem)) {
        require(values.size() == 1 && values[0].text == "untouched", "a refused file changed the values");
        require(problem.rfind("line ", 0) == 0, "a refused file without the line that was wrong");
        return 0;
    }
    for (const StateValue& v : values)
        require(v.control && is_saved_in_state(*v.control) && fits(v), "an accepted value does not fit its control");

    // What was accepted writes out and reads back the same, bit for bit.
    std::vector<StateValue> again;
    require(parse_state(format_state(kProgramName, values), kProgramName, controls, &again, &problem), "a written state is refused");
    require(same(values, again), "a written state reads back different");
    return 0;
}
