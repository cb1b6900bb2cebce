// The panel layer's files without a toolkit: every fault the UI resource's reader
// names, and the state file read from disk as a panel recalls it.
#include "ui_files/panel_state.h"
#include "ui_files/ui_resource.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

using namespace std::string_literals;

namespace {

enum : int { ROOM = 1, ROOM_LEVEL = 2, ROOM_MODE, ROOM_LOGO, BAR = 1, BAR_FILE, BAR_FILE_OPEN };

int named(std::string_view name, std::initializer_list<std::pair<std::string_view, int>> table)
{
    for (const auto& [n, id] : table)
        if (n == name)
            return id;
    return -1;
}

const UIApplication& room_application()
{
    static const UIApplication app = [] {
        UIApplication a;
        a.name = "room";
        a.panel_id = [](std::string_view c) { return named(c, {{"ROOM", ROOM}}); };
        a.control_id = [](int, std::string_view c) {
            return named(c, {{"ROOM_LEVEL", ROOM_LEVEL}, {"ROOM_MODE", ROOM_MODE}, {"ROOM_LOGO", ROOM_LOGO}});
        };
        a.menu_id = [](std::string_view c) {
            return named(c, {{"BAR", BAR}, {"BAR_FILE", BAR_FILE}, {"BAR_FILE_OPEN", BAR_FILE_OPEN}});
        };
        return a;
    }();
    return app;
}

const std::string kRoom = R"({
  "format": "room ui resource 1",
  "menu_bars": [{"constant": "BAR", "menus": [{"constant": "BAR_FILE", "text": "File",
                 "items": [{"constant": "BAR_FILE_OPEN", "text": "Open", "callback": "open"}]}]}],
  "panels": [{"constant": "ROOM", "title": "Room", "width": 300, "height": 200, "menu_bar": "BAR", "controls": [
    {"constant": "ROOM_LEVEL", "kind": "numeric", "label": "Level", "type": "double", "minimum": 0.0,
     "maximum": 100.0, "increment": 0.5, "precision": 2, "initial": 10.0, "x": 10, "y": 60, "width": 90,
     "height": 22, "color": "#336699"},
    {"constant": "ROOM_MODE", "kind": "binary_switch", "label": "Mode", "initial": 1, "on_text": "On",
     "on_value": 0, "off_text": "Off", "off_value": 1, "x": 200, "y": 50, "width": 60, "height": 36},
    {"constant": "ROOM_LOGO", "kind": "picture", "image": "logo", "x": 0, "y": 0, "width": 4, "height": 4}
  ]}]
})";

std::string replaced(const std::string& from, const std::string& to)
{
    std::string text = kRoom;
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

std::string fault_of(const std::string& text)
{
    std::string error = "(none)";
    EXPECT_FALSE(parse_ui_resource(text, room_application(), &error).has_value());
    return error;
}

// The room's controls, from a resource read once for the whole run.
std::vector<const ControlDef*> room_controls()
{
    static const std::optional<UIResource> room = [] {
        std::string error;
        return parse_ui_resource(kRoom, room_application(), &error);
    }();
    std::vector<const ControlDef*> controls;
    if (room)
        for (const ControlDef& c : room->panel(ROOM)->controls)
            controls.push_back(&c);
    return controls;
}

}  // namespace

TEST(UIResourceText, ReadsTheDeclarationsWithTheirNumbers)
{
    std::string error;
    const std::optional<UIResource> r = parse_ui_resource(kRoom, room_application(), &error);
    ASSERT_TRUE(r.has_value()) << error;
    const PanelDef* room = r->panel(ROOM);
    ASSERT_NE(room, nullptr);
    ASSERT_EQ(room->controls.size(), 3u);
    const ControlDef& level = room->controls[0];
    EXPECT_EQ(level.id, ROOM_LEVEL);
    EXPECT_EQ(level.type, ValueType::Double);
    EXPECT_EQ(level.maximum, 100.0);
    EXPECT_EQ(level.initial, 10.0);
    EXPECT_EQ(level.color, 0x336699);
    EXPECT_EQ(room->controls[1].on_value, 0);
    EXPECT_EQ(room->controls[1].initial, 1.0);
    ASSERT_NE(r->menu_bar("BAR"), nullptr);
    EXPECT_EQ(r->menu_bar("BAR")->menus.at(0).items.at(0).id, BAR_FILE_OPEN);
}

TEST(UIResourceText, EachFaultIsNamedAndNothingIsBuilt)
{
    struct Case {
        std::string text;
        std::string fault;
    };
    const Case cases[] = {
        {"", "not a UI resource: parse error at line 1, column 1: syntax error while parsing value - unexpected "
             "end of input; expected '[', '{', or a literal"},
        {"[1, 2]", "not a UI resource: not a JSON object"},
        {replaced("100.0,", "1e400,"), "not a UI resource: number overflow parsing '1e400'"},
        {replaced("room ui resource 1", "other ui resource 1"), "not a UI resource of this program's format"},
        {replaced("\"ROOM_LOGO\"", "\"ROOM_DOOR\""), "control ROOM_DOOR: no such constant"},
        {replaced("\"picture\"", "\"window\""), "control ROOM_LOGO: unknown kind"},
        {replaced("\"x\": 0, ", ""), "control ROOM_LOGO: missing \"x\""},
        {replaced("\"x\": 0,", "\"x\": \"0\","), "control ROOM_LOGO: \"x\" is not a number"},
        {replaced("\"x\": 0,", "\"x\": 0.5,"), "control ROOM_LOGO: \"x\" is not a whole number"},
        {replaced("\"title\": \"Room\"", "\"title\": 7"), "panel ROOM: \"title\" is not a text"},
        {replaced("\"initial\": 10.0", "\"initial\": 100.5"), "control ROOM_LEVEL: initial value outside the range"},
        {replaced("\"increment\": 0.5", "\"increment\": 0"), "control ROOM_LEVEL: bad increment or precision"},
        {replaced("#336699", "#33669G"), "control ROOM_LEVEL: colour is not #RRGGBB"},
        {replaced("\"off_value\": 1", "\"off_value\": 0"), "control ROOM_MODE: on and off values are the same"},
        {replaced("\"initial\": 1,", "\"initial\": 2,"), "control ROOM_MODE: initial value is neither position"},
        {replaced("\"image\": \"logo\", ", ""), "control ROOM_LOGO: a picture names its image"},
        {replaced("\"ROOM_LOGO\"", "\"ROOM_MODE\""), "control ROOM_MODE: declared twice"},
        {replaced("\"menu_bar\": \"BAR\"", "\"menu_bar\": \"TOOLS\""), "panel ROOM: no menu bar TOOLS"},
        {replaced("\"BAR_FILE_OPEN\"", "\"BAR_FILE_SAVE\""), "menu item BAR_FILE_SAVE: no such constant"},
        {replaced("{\"constant\": \"ROOM_LOGO\"", "7, {\"constant\": \"ROOM_LOGO\""), "a control is not an object"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fault_of(c.text), c.fault);
}

TEST(StateFileOnDisk, IsReadAsAPanelRecallsIt)
{
    const std::vector<const ControlDef*> controls = room_controls();
    ASSERT_FALSE(controls.empty());

    std::string path_text = (std::filesystem::temp_directory_path() / "state-XXXXXX").string();
    const int fd = mkstemp(path_text.data());
    ASSERT_GE(fd, 0);
    close(fd);
    const char* path = path_text.c_str();
    auto write = [&path](const std::string& text) {
        std::FILE* f = std::fopen(path, "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    };

    std::vector<StateValue> values;
    std::string problem;
    write("# room panel state 1\nROOM_LEVEL = 12.5\nROOM_MODE = 0\n");
    ASSERT_EQ(read_state_file(path, "room", controls, &values, &problem), StateFileVerdict::Fits) << problem;
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0].number, 12.5);

    write("# room panel state 1\nROOM_LEVEL = 12,5\n");
    EXPECT_EQ(read_state_file(path, "room", controls, &values, &problem), StateFileVerdict::DoesNotFit);
    EXPECT_EQ(problem, "line 2: ROOM_LEVEL = 12,5: not a number");

    write("# room panel state 1\n" + std::string(kLargestStateFile, '#'));
    EXPECT_EQ(read_state_file(path, "room", controls, &values, &problem), StateFileVerdict::DoesNotFit);
    EXPECT_EQ(problem, "it is larger than the 1048576 bytes (1 MiB) a panel state may have");

    std::remove(path);
    EXPECT_EQ(read_state_file(path, "room", controls, &values, &problem), StateFileVerdict::Missing);
    EXPECT_EQ(problem, "there is no such file");
    EXPECT_EQ(read_state_file("/", "room", controls, &values, &problem), StateFileVerdict::Unreadable)
        << "a folder";
    EXPECT_EQ(values.size(), 2u) << "what a refused file leaves alone";
}

TEST(StateFileText, ANulOrABadByteIsNamedWithItsLineAndBinaryGivesOneShortLine)
{
    const std::vector<const ControlDef*> controls = room_controls();
    ASSERT_FALSE(controls.empty());
    const std::string header = "# room panel state 1\n";
    const auto problem_of = [&](const std::string& text) {
        std::vector<StateValue> values;
        std::string problem;
        EXPECT_FALSE(parse_state(text, "room", controls, &values, &problem)) << text.substr(0, 40);
        return problem;
    };
    EXPECT_EQ(problem_of(header + "ROOM_LEVEL = 12.5\nROOM_MODE = 0\0\n"s), "line 3: a NUL byte at column 14");
    EXPECT_EQ(problem_of(header + "ROOM_LEVEL = 1\xFF\n"), "line 2: byte 0xFF at column 15 is not UTF-8 text");
    EXPECT_EQ(problem_of(header + "ROOM_LEVEL = 1\xC3\n"), "line 2: byte 0xC3 at column 15 is not UTF-8 text")
        << "a sequence cut short";
    EXPECT_EQ(problem_of(header + "# caf\xC3\xA9 \xE2\x82\xAC\nROOM_LEVEL = x\n"), "line 3: ROOM_LEVEL = x: not a number")
        << "UTF-8 in a comment is fine";

    // Binary bytes and a huge line: one line of Status, cut to a sensible length.
    std::string binary = header;
    for (int i = 0; i < 200000; ++i)
        binary += static_cast<char>("\x01\x7f ABC=\t"[i % 8]);
    const std::string said = problem_of(binary);
    EXPECT_EQ(said.find('\n'), std::string::npos) << said.substr(0, 200);
    EXPECT_LT(said.size(), 200u) << said.substr(0, 200);
    const std::string huge = problem_of(header + "ROOM_LEVEL = " + std::string(10 << 20, '7') + "x\n");
    EXPECT_LT(huge.size(), 200u);
    EXPECT_EQ(huge.rfind("line 2: ROOM_LEVEL = 7777", 0), 0u) << huge;
}
