// zrctl as a process: what a script sees on its output, its errors and its exit
// status, and what the build writes beside it: the manual pages and the bash
// completion.
#include "zrctl/command_line.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Process {
    int status = -1;
    std::string out, err;
};

std::string read_all(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs a shell command line that needs no quoting beyond its own.
Process shell(const std::string& command_line)
{
    const std::string base = (std::filesystem::temp_directory_path() / ("zrctl-" + std::to_string(getpid()))).string();
    const std::string command = command_line + " >" + base + ".out 2>" + base + ".err";
    Process p;
    const int raw = std::system(command.c_str());
    p.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    p.out = read_all(base + ".out");
    p.err = read_all(base + ".err");
    std::remove((base + ".out").c_str());
    std::remove((base + ".err").c_str());
    return p;
}

// Runs zrctl with arguments that need no quoting.
Process zrctl(const std::string& arguments)
{
    return shell(std::string(ZRCTL_PATH) + " " + arguments);
}

}  // namespace

TEST(ZrctlProcess, OutputErrorsAndExitStatus)
{
    Process p = zrctl("solve 4321 --part zr3500 --prescaler 10/11 --json");
    EXPECT_EQ(p.status, 0);
    EXPECT_EQ(p.err, "");
    const nlohmann::json j = nlohmann::json::parse(p.out);
    EXPECT_EQ(j["registers"]["K"], 110100);

    p = zrctl("solve --ref 200 4321");
    EXPECT_EQ(p.status, 2);
    EXPECT_EQ(p.out, "");
    EXPECT_EQ(p.err, "zrctl: --ref 200: outside 0 to 100, the range of the field \"Ref Freq (MHz)\"\n");

    p = zrctl("frobnicate");
    EXPECT_EQ(p.status, 1);
    EXPECT_EQ(std::count(p.err.begin(), p.err.end(), '\n'), 1) << p.err;
}

TEST(ZrctlProcess, TheBurstThroughAPipe)
{
    const Process direct = zrctl("decode $(" ZRCTL_PATH " burst --part zr3500 --prescaler 10/11 --freq 4.321GHz)");
    ASSERT_EQ(direct.status, 0) << direct.err;
    EXPECT_NE(direct.out.find("auxiliary word 0x0D70A1: K 110100"), std::string::npos) << direct.out;
    Process piped = zrctl("burst --part zr3500 --prescaler 10/11 --freq 4.321GHz | " ZRCTL_PATH " decode");
    EXPECT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(piped.out, direct.out);
    piped = zrctl("burst --part zr3500 --prescaler 10/11 --freq 4321 | " ZRCTL_PATH " decode - --json");
    EXPECT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(nlohmann::json::parse(piped.out)["words"][1]["word_hex"], "0x0D70A1");
    piped = zrctl("decode < /dev/null");
    EXPECT_EQ(piped.status, 2);
    EXPECT_EQ(piped.err, "zrctl: no bytes to decode\n");
}

TEST(ZrctlProcess, TheManualPageHoldsEveryCommand)
{
    const std::string page = read_all(ZRCTL_MAN_PAGE);
    ASSERT_FALSE(page.empty()) << ZRCTL_MAN_PAGE;
    EXPECT_NE(page.find(".TH ZRCTL"), std::string::npos);
    // A hyphen in the page's markup is \- (a minus, which man lets a search find).
    for (const char* command :
         {"solve", "calc", "burst", "decode", "devices", "program", "check\\-state", "sweep", "serve"})
        EXPECT_NE(page.find(".SS " + std::string(command) + "\n"), std::string::npos) << command;
    // serve's commands are rows of its table, each with what it does.
    for (const char* scpi : {"[SOURce:]FREQuency:ROUNding DOWN|NEARest", "[SOURce:]LIST:STEP AUTO|ONCE", "*TRG"})
        EXPECT_NE(page.find(".TP\n\\fB" + std::string(scpi) + "\\fR\n"), std::string::npos) << scpi;
}

namespace {

// The characters of a line of UTF-8 text.
std::size_t characters(const std::string& line)
{
    return static_cast<std::size_t>(
        std::count_if(line.begin(), line.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

}  // namespace

TEST(ManualPages, TheSectionsADebianUserLooksForWithinEightyColumns)
{
    for (const char* path : {ZRCTL_MAN_PAGE, ZR_EVAL_MAN_PAGE}) {
        const std::string page = read_all(path);
        ASSERT_FALSE(page.empty()) << path;
        std::size_t at = 0;
        for (const char* section : {".SH NAME\n", ".SH SYNOPSIS\n", ".SH DESCRIPTION\n", ".SH COMMANDS\n",
                                    ".SH OPTIONS\n", ".SH EXIT STATUS\n", ".SH FILES\n", ".SH EXAMPLES\n",
                                    ".SH SEE ALSO\n"}) {
            const std::size_t found = page.find(section, at);
            EXPECT_NE(found, std::string::npos) << path << ": " << section << " after the one before";
            at = found == std::string::npos ? at : found;
        }
        // NAME holds one line: the program, \-, and what it is.
        const std::size_t name = page.find(".SH NAME\n");
        ASSERT_NE(name, std::string::npos);
        const std::string line = page.substr(name + 9, page.find('\n', name + 9) - name - 9);
        EXPECT_NE(line.find(" \\- "), std::string::npos) << path << ": " << line;

        // As man shows it on a terminal of 80 columns, with no complaint from groff.
        const Process shown = shell("groff -man -Tutf8 -rLL=80n -ww -P-cbou " + std::string(path));
        ASSERT_EQ(shown.status, 0) << shown.err;
        EXPECT_EQ(shown.err, "") << path;
        std::istringstream lines(shown.out);
        std::string text;
        std::size_t count = 0;
        while (std::getline(lines, text)) {
            EXPECT_LE(characters(text), 80u) << path << ": " << text;
            ++count;
        }
        EXPECT_GT(count, 40u) << path;
    }
    // Every command with its options, written from the command line itself.
    const std::string page = read_all(ZRCTL_MAN_PAGE);
    EXPECT_NE(page.find(".SS serve\n"), std::string::npos);
    EXPECT_NE(page.find("\\fB\\-\\-part\\fR \\fIzr3100|zr3500\\fR"), std::string::npos);
    EXPECT_NE(page.find("\\fB\\-\\-dither\\fR, \\fB\\-\\-no\\-dither\\fR\n"), std::string::npos);
}

TEST(BashCompletion, LoadedInBashItOffersEveryCommandOptionAndChoice)
{
    // The words bash would offer for a line whose last word is being typed.
    const auto offered = [](const std::vector<std::string>& words) {
        std::string line;
        for (const std::string& w : words)
            line += " '" + w + "'";
        const Process p = shell(
            "bash --norc --noprofile -c 'source \"$0\"; COMP_WORDS=(\"${@}\"); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); "
            "_zrctl; printf \"%s\\n\" \"${COMPREPLY[@]}\" | LC_ALL=C sort' " ZRCTL_COMPLETION " zrctl" + line);
        EXPECT_EQ(p.status, 0) << p.err;
        EXPECT_EQ(p.err, "");
        std::vector<std::string> found;
        std::istringstream lines(p.out);
        for (std::string w; std::getline(lines, w);)
            if (!w.empty())
                found.push_back(w);
        return found;
    };
    using Words = std::vector<std::string>;
    const ZrctlCommandLine zrctl_line;
    Words commands;
    for (const CLI::App* c : zrctl_line.app.get_subcommands({}))
        commands.push_back(c->get_name());
    std::sort(commands.begin(), commands.end());
    Words top = offered({""});
    for (const std::string& c : commands)
        EXPECT_NE(std::find(top.begin(), top.end(), c), top.end()) << c;
    EXPECT_NE(std::find(top.begin(), top.end(), "--simulated-board"), top.end());
    EXPECT_EQ(offered({"s"}), (Words{"serve", "solve", "sweep"}));

    // Every option of every command, after the command, and after --simulated-board before it.
    for (const CLI::App* c : zrctl_line.app.get_subcommands({})) {
        Words expected;
        for (const CLI::Option* o : c->get_options())
            for (const std::string& n : o->get_lnames())
                expected.push_back("--" + n);
        for (const CLI::Option* o : c->get_options())
            for (const std::string& n : o->get_fnames())
                if (std::find(expected.begin(), expected.end(), "--" + n) == expected.end())
                    expected.push_back("--" + n);
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(offered({c->get_name(), "--"}), expected) << c->get_name();
        EXPECT_EQ(offered({"--simulated-board", c->get_name(), "--"}), expected) << c->get_name();
    }

    EXPECT_EQ(offered({"solve", "4321", "--part", ""}), (Words{"ZR3100", "ZR3500", "zr3100", "zr3500"}));
    EXPECT_EQ(offered({"program", "--part", "ZR"}), (Words{"ZR3100", "ZR3500"}));
    EXPECT_EQ(offered({"calc", "--part", "=", "zr31"}), (Words{"zr3100"}));
    EXPECT_EQ(offered({"sweep", "--prescaler", ""}), (Words{"10/11", "5/6", "BYPASS", "bypass"}));
    EXPECT_EQ(offered({"burst", "--mash", ""}), (Words{"1-1", "1-1-1"}));
    EXPECT_EQ(offered({"solve", "--freq", ""}), Words{}) << "a number: nothing to offer, not the options";
    EXPECT_EQ(offered({"check-state", ZRCTL_COMPLETION}), Words{ZRCTL_COMPLETION}) << "a file";
    EXPECT_EQ(offered({"program", "--state", ZRCTL_COMPLETION}), Words{ZRCTL_COMPLETION}) << "a file";
}
