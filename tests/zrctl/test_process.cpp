// zrctl as a process: what a script sees on its output, its errors and its exit
// status, and the manual page the build writes.
#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

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

// Runs zrctl with arguments that need no quoting.
Process zrctl(const std::string& arguments)
{
    const std::string base = (std::filesystem::temp_directory_path() / ("zrctl-" + std::to_string(getpid()))).string();
    const std::string command = std::string(ZRCTL_PATH) + " " + arguments + " >" + base + ".out 2>" + base + ".err";
    Process p;
    const int raw = std::system(command.c_str());
    p.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    p.out = read_all(base + ".out");
    p.err = read_all(base + ".err");
    std::remove((base + ".out").c_str());
    std::remove((base + ".err").c_str());
    return p;
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

TEST(ZrctlProcess, TheManualPageHoldsEveryCommand)
{
    const std::string page = read_all(ZRCTL_MAN_PAGE);
    ASSERT_FALSE(page.empty()) << ZRCTL_MAN_PAGE;
    EXPECT_NE(page.find(".TH ZRCTL"), std::string::npos);
    for (const char* command :
         {"solve", "calc", "burst", "decode", "devices", "program", "check-state", "sweep", "serve"})
        EXPECT_NE(page.find(".SS " + std::string(command) + "\n"), std::string::npos) << command;
}
