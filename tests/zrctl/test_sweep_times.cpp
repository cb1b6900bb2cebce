// When zrctl sweep writes its points: none before its time on the dwell's
// schedule, and the table's UTC time of each write is the date and time it was
// written, by the system clock.
#include "support/zrctl_run.h"

#include "d2xx/d2xx.h"
#include "d2xx/simulated_board.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

using namespace std::chrono;

namespace {

class ZrctlSweepTimes : public ::testing::Test {
protected:
    void SetUp() override { previous_ = install_board_driver(&board); }
    void TearDown() override
    {
        install_board_driver(previous_);
        std::filesystem::remove(csv);
    }

    SimulatedBoard board;
    const std::string csv =
        (std::filesystem::temp_directory_path() / ("zrctl-times-" + std::to_string(getpid()) + ".csv")).string();

private:
    BoardDriver* previous_ = nullptr;
};

// The table's last column, one entry a point.
std::vector<std::string> utc_column(const std::string& path)
{
    std::ifstream in(path);
    std::vector<std::string> column;
    std::string line;
    std::getline(in, line);  // the header
    while (std::getline(in, line))
        column.push_back(line.substr(line.rfind(',') + 1));
    return column;
}

// "2025-03-14T09:26:53.589793Z" as a time, by the calendar of <chrono>; nullopt
// when it is not written so.
std::optional<sys_time<microseconds>> time_in_table(const std::string& text)
{
    int y = 0;
    unsigned mo = 0, d = 0, h = 0, mi = 0, s = 0, us = 0;
    int used = 0;
    if (std::sscanf(text.c_str(), "%4d-%2u-%2uT%2u:%2u:%2u.%6uZ%n", &y, &mo, &d, &h, &mi, &s, &us, &used) != 7 ||
        used != static_cast<int>(text.size()) || text.size() != 27)
        return std::nullopt;
    const year_month_day date{year{y}, month{mo}, day{d}};
    if (!date.ok() || h > 23 || mi > 59 || s > 60)
        return std::nullopt;
    return sys_days{date} + hours{h} + minutes{mi} + seconds{s} + microseconds{us};
}

std::string date_of(system_clock::time_point t)
{
    const year_month_day date{floor<days>(t)};
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return text;
}

}  // namespace

TEST_F(ZrctlSweepTimes, NoPointIsWrittenBeforeItsTime)
{
    // Write k of the run, counting both passes, is due k x 2.5 ms after the start;
    // the start comes after `before`. Late is the machine's business, early a fault.
    std::vector<steady_clock::time_point> written;
    board.before_write = [&written] { written.push_back(steady_clock::now()); };
    const steady_clock::time_point before = steady_clock::now();
    const ZrctlRun run = run_zrctl({"sweep", "--start", "4000", "--stop", "4090", "--step", "10", "--dwell", "2.5",
                                    "--repeat", "2", "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(written.size(), 20u);
    for (std::size_t k = 0; k < written.size(); ++k) {
        const auto due = duration_cast<nanoseconds>(k * microseconds(2500));
        const auto at = duration_cast<nanoseconds>(written[k] - before);
        EXPECT_GE(at, due) << "write " << k << " (point " << k % 10 + 1 << ", pass " << k / 10 + 1 << ") came "
                           << duration<double, std::micro>(due - at).count() << " us early";
    }
}

TEST_F(ZrctlSweepTimes, TheTablesUtcTimeIsWhenEachPointWasWritten)
{
    // A local time far from UTC: a table in local time would be 14 hours out.
    const char* tz = std::getenv("TZ");
    const std::string previous_tz = tz ? tz : "";
    setenv("TZ", "LINT-14", 1);
    tzset();
    const system_clock::time_point before = floor<microseconds>(system_clock::now());
    const ZrctlRun run = run_zrctl({"sweep", "--start", "4000", "--stop", "4020", "--step", "10", "--dwell", "1",
                                    "--csv", csv});
    const system_clock::time_point after = system_clock::now();
    if (tz)
        setenv("TZ", previous_tz.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
    ASSERT_EQ(run.status, 0) << run.err;

    const std::vector<std::string> column = utc_column(csv);
    ASSERT_EQ(column.size(), 3u);
    for (const std::string& text : column) {
        const std::optional<sys_time<microseconds>> t = time_in_table(text);
        ASSERT_TRUE(t) << "\"" << text << "\" is not a UTC time as 2025-03-14T09:26:53.589793Z";
        EXPECT_TRUE(text.rfind(date_of(before), 0) == 0 || text.rfind(date_of(after), 0) == 0)
            << text << ": the run was on " << date_of(before) << " (UTC)";
        EXPECT_GE(*t, before) << text;
        EXPECT_LE(*t, after) << text;
    }
}
