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

// The simulated board, with the time it took its rate (the last of the set-up
// before a sweep starts) and the time each write began.
class TimedBoard final : public BoardDriver {
public:
    explicit TimedBoard(SimulatedBoard& board) : board_(board) {}

    steady_clock::time_point set_up{};
    std::vector<steady_clock::time_point> writes;

    FT_STATUS create_device_info_list(DWORD* count) override { return board_.create_device_info_list(count); }
    FT_STATUS get_device_info_detail(int index, DeviceDetail* detail) override
    {
        return board_.get_device_info_detail(index, detail);
    }
    FT_STATUS open(int index, FT_HANDLE* handle) override { return board_.open(index, handle); }
    FT_STATUS open_by_serial_number(const std::string& serial, FT_HANDLE* handle) override
    {
        return board_.open_by_serial_number(serial, handle);
    }
    FT_STATUS set_bit_mode(FT_HANDLE handle, UCHAR mask, UCHAR mode) override
    {
        return board_.set_bit_mode(handle, mask, mode);
    }
    FT_STATUS set_baud_rate(FT_HANDLE handle, DWORD rate) override
    {
        const FT_STATUS status = board_.set_baud_rate(handle, rate);
        set_up = steady_clock::now();
        return status;
    }
    FT_STATUS write(FT_HANDLE handle, const UCHAR* buffer, DWORD size, DWORD* written) override
    {
        writes.push_back(steady_clock::now());
        return board_.write(handle, buffer, size, written);
    }
    FT_STATUS close(FT_HANDLE handle) override { return board_.close(handle); }

private:
    SimulatedBoard& board_;
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
    // Write k of the run, counting both passes, is due k x 2.5 ms after the start,
    // and the start comes after the board took its rate. Late is the machine's
    // business, early a fault.
    TimedBoard timed(board);
    install_board_driver(&timed);
    const ZrctlRun run = run_zrctl({"sweep", "--start", "4000", "--stop", "4090", "--step", "10", "--dwell", "2.5",
                                    "--repeat", "2", "--json"});
    install_board_driver(&board);
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(timed.writes.size(), 20u);
    for (std::size_t k = 0; k < timed.writes.size(); ++k) {
        const auto due = duration_cast<nanoseconds>(k * microseconds(2500));
        const auto at = duration_cast<nanoseconds>(timed.writes[k] - timed.set_up);
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
