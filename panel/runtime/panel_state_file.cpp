// The panel layer's calls that save a loaded panel's state to its file and
// recall it, in the text format of panel_state.h.
#include "panel/runtime/panel_state.h"

#include "panel/runtime/ui_runtime.h"
#include "panel/runtime/ui_runtime_qt.h"
#include "panel/runtime/ui_runtime_state.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Replaces path with text in one step: the text goes to a temporary file beside
// it, which takes the old file's place only once it is complete and on disk. A
// crash or a full disk never destroys the previous file. (Qt 6.4's QSaveFile
// commits a file that a full disk cut short, so it is not used here.)
bool replace_file(const std::string& path, const std::string& text)
{
    std::string temporary = path + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0)
        return false;
    const mode_t mask = umask(0);
    umask(mask);
    bool ok = fchmod(fd, 0666 & ~mask) == 0;
    for (std::size_t done = 0; ok && done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            ok = false;
        else
            done += static_cast<std::size_t>(n);
    }
    ok = ok && fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && std::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok)
        std::remove(temporary.c_str());
    return ok;
}

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

int SavePanelState(int panel, const char* file, int stateIndex)
{
    if (!PanelWindow(panel))
        return UI_ERR_BAD_HANDLE;
    if (stateIndex != 0 || !file)
        return UI_ERR_STATE_FILE;
    const std::string& application = ui_layer::runtime().application.name;
    return replace_file(file, format_state(application, current_state(panel))) ? UI_OK : UI_ERR_STATE_FILE;
}

int RecallPanelState(int panel, const char* file, int stateIndex, std::string* problem)
{
    if (!PanelWindow(panel))
        return UI_ERR_BAD_HANDLE;
    if (stateIndex != 0 || !file)
        return UI_ERR_STATE_FILE;
    QFile in(QString::fromLocal8Bit(file));
    if (!in.open(QIODevice::ReadOnly))
        return UI_ERR_STATE_FILE;
    const QByteArray text = in.read(static_cast<qint64>(kLargestStateFile) + 1);
    std::string why;
    std::vector<StateValue> values;
    if (!parse_state_file(std::string_view(text.constData(), static_cast<std::size_t>(text.size())),
                          ui_layer::runtime().application.name, PanelControlDefs(panel), &values, &why))
        values.clear();
    if (!why.empty()) {
        if (problem)
            *problem = why;
        return UI_ERR_STATE_CONTENT;
    }
    for (const StateValue& v : values)
        apply(panel, v);
    return UI_OK;
}
