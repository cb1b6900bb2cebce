#include "ui_files/panel_state.h"

#include "ui_files/file_io.h"

#include "model/number_text.h"
#include "model/quoted_input.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <set>

namespace {

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

bool is_name(std::string_view s)
{
    if (s.empty())
        return false;
    for (char c : s)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_'))
            return false;
    return true;
}

std::string quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c; break;
        }
    }
    return out + "\"";
}

bool unquoted(std::string_view s, std::string* text)
{
    if (s.size() < 2 || s.front() != '"' || s.back() != '"')
        return false;
    std::string out;
    for (std::size_t i = 1; i + 1 < s.size(); ++i) {
        char c = s[i];
        if (c == '"')
            return false;  // a quote inside must be escaped
        if (c == '\\') {
            if (i + 2 >= s.size())
                return false;
            c = s[++i];
            if (c == 'n')
                c = '\n';
            else if (c == 'r')
                c = '\r';
            else if (c != '"' && c != '\\')
                return false;
        }
        out += c;
    }
    *text = std::move(out);
    return true;
}

template <typename T>
bool whole_number(std::string_view s, T* value)
{
    const char* end = s.data() + s.size();
    const auto [ptr, ec] = std::from_chars(s.data(), end, *value);
    return ec == std::errc() && ptr == end;
}

// A number as the state file stores it: 17 significant digits, which any reader
// of doubles takes back exactly.
std::string stored_number_text(double d)
{
    char text[40];
    const auto [ptr, ec] = std::to_chars(text, text + sizeof text, d, std::chars_format::general, 17);
    return ec == std::errc() ? std::string(text, ptr) : std::string("0");
}

std::string range_text(const ControlDef& c)
{
    return stored_number_text(c.minimum) + " to " + stored_number_text(c.maximum);
}

// The value of one line for its control, or the reason it cannot be one.
bool read_value(const ControlDef& c, std::string_view s, StateValue* v, std::string* why)
{
    v->control = &c;
    switch (c.type) {
    case ValueType::Unsigned: {
        uint64_t n = 0;
        if (s.empty() || s.front() == '-' || !whole_number(s, &n)) {
            *why = "not a whole number";
            return false;
        }
        if (static_cast<double>(n) < c.minimum || static_cast<double>(n) > c.maximum) {
            *why = "outside " + range_text(c);
            return false;
        }
        v->number = static_cast<double>(n);
        return true;
    }
    case ValueType::Double: {
        double d = 0.0;
        if (!whole_number(s, &d) || !std::isfinite(d)) {
            *why = "not a number";
            return false;
        }
        // A double field holds what the program wrote into it, even outside its
        // range (it is marked so): the file gives back what was shown.
        v->number = d;
        return true;
    }
    case ValueType::Int: {
        int n = 0;
        if (!whole_number(s, &n)) {
            *why = "not a whole number";
            return false;
        }
        if (n != c.on_value && n != c.off_value) {
            *why = "neither " + std::to_string(c.on_value) + " nor " + std::to_string(c.off_value);
            return false;
        }
        v->number = n;
        return true;
    }
    case ValueType::Text:
        if (!unquoted(s, &v->text)) {
            *why = "not a quoted text";
            return false;
        }
        return true;
    case ValueType::None:
        break;
    }
    *why = "holds no value";
    return false;
}

std::string state_file_too_large()
{
    return "it is larger than the " + std::to_string(kLargestStateFile) + " bytes (" +
           std::to_string(kLargestStateFile >> 20) + " MiB) a panel state may have";
}

}  // namespace

bool is_saved_in_state(const ControlDef& control)
{
    return control.type != ValueType::None && control.kind != ControlKind::TextBox && control.saved;
}

std::string panel_state_header(const std::string& application)
{
    return "# " + application + " panel state 1";
}

std::string format_state(const std::string& application, const std::vector<StateValue>& values)
{
    return format_state_under(panel_state_header(application), {}, values);
}

std::string format_state_under(const std::string& header, const std::vector<OwnLine>& own,
                               const std::vector<StateValue>& values)
{
    std::string out = header;
    out += '\n';
    for (const OwnLine& line : own)
        out += line.name + " = " + line.value + '\n';
    for (const StateValue& v : values) {
        out += v.control->constant;
        out += " = ";
        switch (v.control->type) {
        case ValueType::Text: out += quoted(v.text); break;
        case ValueType::Double: out += stored_number_text(v.number); break;
        default: out += std::to_string(static_cast<long long>(v.number)); break;
        }
        out += '\n';
    }
    return out;
}

bool parse_state(std::string_view text, const std::string& application,
                 const std::vector<const ControlDef*>& controls, std::vector<StateValue>* values,
                 std::string* problem)
{
    std::vector<OwnLine> own;
    return parse_state_under(text, panel_state_header(application), application + " panel state", controls, values,
                             &own, problem);
}

bool parse_state_under(std::string_view text, const std::string& header, const std::string& kind,
                       const std::vector<const ControlDef*>& controls, std::vector<StateValue>* values,
                       std::vector<OwnLine>* own, std::string* problem)
{
    std::vector<StateValue> read;
    std::vector<OwnLine> others;
    std::set<const ControlDef*> named;
    int line_number = 0;
    auto fail = [&](const std::string& why) {
        *problem = "line " + std::to_string(line_number) + ": " + why;
        return false;
    };
    // What ordinary editors write: a UTF-8 byte-order mark, and lines ended by
    // LF, CR LF or CR alone.
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        text.remove_prefix(kByteOrderMark.size());
    while (!text.empty() || line_number == 0) {
        ++line_number;
        const std::size_t end = text.find_first_of("\r\n");
        std::string_view line = text.substr(0, end);
        std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end != std::string_view::npos && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
            ++next;
        text.remove_prefix(next);
        if (line_number == 1) {
            if (trimmed(line) != header)
                return fail("not a " + kind + " file");
            continue;
        }
        // A NUL would cut a text where the panel shows it, and what is not UTF-8
        // cannot be shown at all: both are refused where they stand.
        for (std::size_t i = 0; i < line.size();) {
            const std::size_t length = utf8_char_length(line.substr(i));
            if (line[i] == '\0')
                return fail("a NUL byte at column " + std::to_string(i + 1));
            if (length == 0)
                return fail("byte " + hex_text(static_cast<unsigned char>(line[i]), 2) + " at column " +
                            std::to_string(i + 1) + " is not UTF-8 text");
            i += length;
        }
        line = trimmed(line);
        if (line.empty() || line.front() == '#')
            continue;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            return fail("no \"=\"");
        const std::string_view name = trimmed(line.substr(0, equals));
        const std::string_view value = trimmed(line.substr(equals + 1));
        if (!is_name(name))
            return fail(quoted_input(name) + " is not a control name");
        const ControlDef* control = nullptr;
        for (const ControlDef* c : controls)
            if (c->constant == name)
                control = c;
        if (!control) {
            others.push_back({line_number, std::string(name), std::string(value)});
            continue;
        }
        if (!is_saved_in_state(*control))
            continue;
        if (!named.insert(control).second)
            return fail(control->constant + " is named twice");
        StateValue v;
        std::string why;
        if (!read_value(*control, value, &v, &why))
            return fail(control->constant + " = " + shown_input(value) + ": " + why);
        read.push_back(std::move(v));
    }
    *values = std::move(read);
    *own = std::move(others);
    return true;
}

bool parse_state_file(std::string_view read, const std::string& application,
                      const std::vector<const ControlDef*>& controls, std::vector<StateValue>* values,
                      std::string* problem)
{
    if (read.size() > kLargestStateFile) {
        *problem = state_file_too_large();
        return false;
    }
    return parse_state(read, application, controls, values, problem);
}

StateFileVerdict read_state_text(const std::string& path, std::string* text, std::string* problem)
{
    switch (read_regular_file(path, kLargestStateFile, text, problem)) {
    case ReadOutcome::Ok: return StateFileVerdict::Fits;
    case ReadOutcome::Missing: return StateFileVerdict::Missing;
    case ReadOutcome::NotRegular:
    case ReadOutcome::Unreadable: return StateFileVerdict::Unreadable;
    case ReadOutcome::TooLarge: *problem = state_file_too_large(); return StateFileVerdict::DoesNotFit;
    }
    return StateFileVerdict::Unreadable;
}

StateFileVerdict read_state_file(const std::string& path, const std::string& application,
                                 const std::vector<const ControlDef*>& controls, std::vector<StateValue>* values,
                                 std::string* problem)
{
    std::string text;
    if (const StateFileVerdict read = read_state_text(path, &text, problem); read != StateFileVerdict::Fits)
        return read;
    return parse_state_file(text, application, controls, values, problem) ? StateFileVerdict::Fits
                                                                           : StateFileVerdict::DoesNotFit;
}
