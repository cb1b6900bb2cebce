// Speed and memory of the program on the real panel layer (offscreen), with the
// simulated board. Each timing reports the median and the 99th percentile of
// its iterations, in milliseconds.
#include "support/operator_session.h"

#include "app/board/board_connection.h"
#include "d2xx/simulated_board.h"
#include "model/calculation.h"
#include "app/calculator.h"
#include "model/frequency.h"
#include "model/planner.h"
#include "model/range_rules.h"
#include "app/application.h"
#include "app/main_panel.h"
#include "model/solver.h"
#include "app/startup.h"
#include "resource/New_Panel.h"
#include "ui_runtime/ui_runtime.h"
#include "ui_runtime/ui_runtime_qt.h"
#include "app/windows/sweep_window.h"
#include "scpi/scpi_engine.h"
#include "scpi/scpi_server.h"
#include "scpi/scpi_values.h"
#include "zrctl/board_open.h"
#include "zrctl/serve/instrument.h"
#include "zrctl/settings.h"
#include "zrctl/zrctl.h"

#include <QApplication>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QDir>
#include <QEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <string>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <ostream>
#include <sstream>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <malloc.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void report_percentiles(benchmark::State& state, std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    state.counters["median_ms"] = ms[ms.size() / 2];
    state.counters["p99_ms"] = ms[std::min(ms.size() - 1, ms.size() * 99 / 100)];
}

// The main panel as the operator has it after start-up, with a board open.
struct ShownPanel {
    SimulatedBoard board;
    BoardDriver* previous = nullptr;

    ShownPanel()
    {
        regs = RegisterSet{};
        MainPanelHandle = LoadPanel(0, kResourceFile, PANEL);
        previous = install_board_driver(&board);
        FTDIHandle = nullptr;
        compute_search_and_show();
        ProcessSystemEvents();
    }
    ~ShownPanel()
    {
        InstallPollCallback(0, nullptr);
        FT_Close(FTDIHandle);
        FTDIHandle = nullptr;
        install_board_driver(previous);
        DiscardPanel(MainPanelHandle);
    }
};

double resident_mb()
{
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// Bytes handed out by malloc and not yet freed.
double heap_in_use_mb()
{
    return static_cast<double>(mallinfo2().uordblks) / (1024.0 * 1024.0);
}

double peak_resident_mb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Start-up and 10 000 operator actions, or more to see where memory settles.
// Runs first, so that the peak is the program's own and not that of the
// benchmarks after it. The simulated board's record of bursts is not part of the
// program, so it is dropped as the session goes.
void BM_MemoryOver10000Actions(benchmark::State& state)
{
    for (auto _ : state) {
        ShownPanel shown;
        OperatorSession session(MainPanelHandle, shown.board, 20261208);
        double rss_first = 0.0, heap_first = 0.0;
        const int actions = static_cast<int>(state.range(0));
        for (int i = 1; i <= actions; ++i) {
            session.act();
            shown.board.forget();
            if (i == 1000) {
                rss_first = resident_mb();
                heap_first = heap_in_use_mb();
            }
        }
        state.counters["rss_after_1000_MB"] = rss_first;
        state.counters["rss_at_end_MB"] = resident_mb();
        state.counters["heap_after_1000_MB"] = heap_first;
        state.counters["heap_at_end_MB"] = heap_in_use_mb();
        std::string status;
        GetCtrlVal(MainPanelHandle, PANEL_Status, &status);
        state.counters["status_text_kB"] = static_cast<double>(status.size()) / 1024.0;
        state.counters["peak_rss_MB"] = peak_resident_mb();
    }
}
BENCHMARK(BM_MemoryOver10000Actions)->Arg(10000)->Arg(40000)->ArgName("actions")->Iterations(1)->Unit(benchmark::kMillisecond);

// One operator commit of a register field: Enter in M, from the callback's start
// to the panel repainted.
void BM_RegisterFieldCommit(benchmark::State& state)
{
    ShownPanel shown;
    QWidget* field = CtrlWidget(MainPanelHandle, PANEL_M_REG);
    std::vector<double> ms;
    unsigned M = 7;
    for (auto _ : state) {
        M = M == 7 ? 8 : 7;
        SetCtrlVal(MainPanelHandle, PANEL_M_REG, M);
        const auto start = Clock::now();
        QTest::keyClick(field, Qt::Key_Return);
        ProcessSystemEvents();
        ms.push_back(ms_since(start));
    }
    report_percentiles(state, ms);
}
BENCHMARK(BM_RegisterFieldCommit)->Iterations(2000)->Unit(benchmark::kMillisecond);

// One "Program Device" press to the return of its single write.
void BM_ProgramDevicePress(benchmark::State& state)
{
    ShownPanel shown;
    SetCtrlVal(MainPanelHandle, PANEL_ENHBAR, static_cast<int>(state.range(0)));
    QWidget* button = CtrlWidget(MainPanelHandle, PANEL_SEND_DATA);
    std::vector<double> ms;
    for (auto _ : state) {
        const auto start = Clock::now();
        QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
        ms.push_back(ms_since(start));
    }
    report_percentiles(state, ms);
}
BENCHMARK(BM_ProgramDevicePress)->Arg(1)->Arg(0)->ArgName("ENHBAR")->Iterations(2000)->Unit(benchmark::kMillisecond);

// One turn of the board poll, as its timer runs it once a second: with the board
// open (its modem status read), and with it unplugged and waited for (the devices
// counted). Its share of one core is its time over the second between two turns.
void BM_BoardPoll(benchmark::State& state)
{
    ShownPanel shown;
    shown.board.record = false;
    if (state.range(0) == 1) {
        shown.board.unplug("SIM0");
        FirePollTimer();
    }
    std::vector<double> ms;
    for (auto _ : state) {
        const auto start = Clock::now();
        benchmark::DoNotOptimize(FirePollTimer());
        ms.push_back(ms_since(start));
    }
    report_percentiles(state, ms);
    state.counters["core_percent_at_1_per_s"] = state.counters["p99_ms"] / 1000.0 * 100.0;
}
BENCHMARK(BM_BoardPoll)->Arg(0)->Arg(1)->ArgName("unplugged")->Iterations(20000)->Unit(benchmark::kMillisecond);

// What the poll of an unplugged board costs on libftdi: one device count, a new
// libusb context listing the machine's USB devices. The simulated board's turn
// above is the panel's own share.
void BM_LibftdiDeviceCount(benchmark::State& state)
{
    BoardDriver* previous = install_board_driver(nullptr);
    std::vector<double> ms;
    for (auto _ : state) {
        DWORD count = 0;
        const auto start = Clock::now();
        benchmark::DoNotOptimize(FT_CreateDeviceInfoList(&count));
        ms.push_back(ms_since(start));
    }
    install_board_driver(previous);
    report_percentiles(state, ms);
    state.counters["core_percent_at_1_per_s"] = state.counters["p99_ms"] / 1000.0 * 100.0;
}
BENCHMARK(BM_LibftdiDeviceCount)->Iterations(500)->Unit(benchmark::kMillisecond);

// The pure arithmetic: every 0.2 MHz target from 0 to 5000 MHz solved, range-ruled
// and recomputed, as typed one after the other, for one part.
void BM_SolveEveryTarget(benchmark::State& state)
{
    const int part = static_cast<int>(state.range(0));
    std::vector<double> ms;
    uint32_t checksum = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        SolverInput in;
        in.fc = 50.0;
        in.modulus = 10;
        in.N_flag = part;
        in.MASH = 1;
        in.last_fin = 4000.0;
        in.M = 7;
        for (int i = 0; i <= 25000; ++i) {
            in.target = i / 5.0;
            const SolverResult r = solve_registers(in);
            RangeSettings s;
            s.N_flag = part;
            s.K = r.K;
            s.MASH = 1;
            s.T_flag = r.T_flag;
            const Counters c = apply_range_rules({r.M, r.A}, s);
            const FrequencyResult f = compute_frequencies(100.0, 1, c.M, c.A, r.K, 10, 0);
            in.last_fin = f.fin;
            in.T_flag = r.T_flag;
            in.M = c.M;
            in.A = c.A;
            checksum += c.M + c.A + r.K;
        }
        ms.push_back(ms_since(start));
    }
    benchmark::DoNotOptimize(checksum);
    report_percentiles(state, ms);
}
BENCHMARK(BM_SolveEveryTarget)->Arg(0)->Arg(1)->ArgName("part")->Iterations(50)->Unit(benchmark::kMillisecond);

// The core alone: every 0.2 MHz target from 0 to 5000 MHz solved as zrctl solves
// it (a target typed far from the last Fin), range-ruled and recomputed, from the
// same recomputed settings each time, for one part.
void BM_CoreSolvesPerSecond(benchmark::State& state)
{
    RegisterSet settings;
    settings.N_flag = static_cast<int>(state.range(0));
    settings.ref_freq = 100.0;
    settings.R_reg = 1;
    settings.M_reg = 7;
    settings.MASH = 1;
    settings.LNM = 1;
    recompute(settings);
    constexpr int kTargets = 25001;
    std::vector<double> ms;
    uint32_t checksum = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        for (int i = 0; i < kTargets; ++i) {
            RegisterSet r = settings;
            solve_typed_target(r, i / 5.0);
            checksum += r.M_reg + r.A_reg + r.K_reg;
        }
        ms.push_back(ms_since(start));
    }
    benchmark::DoNotOptimize(checksum);
    report_percentiles(state, ms);
    // Wall-clock rate at the median run.
    state.counters["solves_per_s"] = kTargets / (state.counters["median_ms"] / 1000.0);
}
BENCHMARK(BM_CoreSolvesPerSecond)->Arg(0)->Arg(1)->ArgName("part")->Iterations(50)->Unit(benchmark::kMillisecond);

// The planner's full enumeration for one target: R 0 to 63, the three prescaler
// settings and both modulator orders, each solved by truncation and by the
// nearest channel, with the spurs of those within 1 kHz, ranked.
void BM_PlanOneTarget(benchmark::State& state)
{
    RegisterSet settings;
    settings.N_flag = ZR3500;
    settings.ref_freq = 100.0;
    settings.R_reg = 1;
    settings.M_reg = 7;
    settings.MASH = 1;
    settings.LNM = 1;
    PlanRequest request;
    request.target_mhz = 4321.0;
    request.tolerance_hz = 1000.0;
    request.r_min = 0;
    request.r_max = 63;
    request.prescalers = {PrescalerSetting::Modulus10_11, PrescalerSetting::Modulus5_6, PrescalerSetting::Bypassed};
    request.mash = {0, 1};
    std::vector<double> ms;
    std::size_t candidates = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        const Plan plan = plan_target(settings, request);
        ms.push_back(ms_since(start));
        candidates = plan.candidates.size();
    }
    benchmark::DoNotOptimize(candidates);
    report_percentiles(state, ms);
    state.counters["candidates"] = static_cast<double>(candidates);
}
BENCHMARK(BM_PlanOneTarget)->Iterations(200)->Unit(benchmark::kMillisecond);

// zrctl solve as a whole process, from its start to its exit, output discarded.
void BM_ZrctlSolveProcess(benchmark::State& state)
{
    char path[] = ZRCTL_PATH;
    char solve[] = "solve";
    char target[] = "4321";
    char* argv[] = {path, solve, target, nullptr};
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    std::vector<double> ms;
    for (auto _ : state) {
        const auto start = Clock::now();
        pid_t pid = 0;
        int status = -1;
        if (posix_spawn(&pid, path, &quiet, nullptr, argv, environ) != 0 || waitpid(pid, &status, 0) != pid ||
            !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("zrctl solve did not run to its end");
            break;
        }
        ms.push_back(ms_since(start));
    }
    posix_spawn_file_actions_destroy(&quiet);
    if (!ms.empty())
        report_percentiles(state, ms);
}
BENCHMARK(BM_ZrctlSolveProcess)->Iterations(50)->Unit(benchmark::kMillisecond);

// Start-up to the main panel shown, with the start-up waits set to zero.
Clock::time_point main_panel_shown;
int waits = 0;

void no_wait(double)
{
    if (++waits == 9)  // the last wait of the blink: end the loop as soon as it starts
        QuitUserInterface(0);
}

class ShowWatcher : public QObject {
public:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Show && o->objectName() == QLatin1String("PANEL"))
            main_panel_shown = Clock::now();
        return false;
    }
};

void BM_StartupToMainPanelShown(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString previous_dir = QDir::currentPath();
    QDir::setCurrent(dir.path());
    SimulatedBoard board;
    BoardDriver* previous = install_board_driver(&board);
    SetDelayFunction(no_wait);
    ShowWatcher watcher;
    qApp->installEventFilter(&watcher);
    static char name[] = "zr-eval";
    static char* argv[] = {name, nullptr};
    std::vector<double> ms;
    for (auto _ : state) {
        regs = RegisterSet{};
        FTDIHandle = nullptr;
        waits = 0;
        const auto start = Clock::now();
        run_zr_eval(1, argv);
        ms.push_back(std::chrono::duration<double, std::milli>(main_panel_shown - start).count());
        FT_Close(FTDIHandle);
    }
    qApp->removeEventFilter(&watcher);
    SetDelayFunction(nullptr);
    install_board_driver(previous);
    QDir::setCurrent(previous_dir);
    report_percentiles(state, ms);
}
BENCHMARK(BM_StartupToMainPanelShown)->Iterations(50)->Unit(benchmark::kMillisecond);

// A sweep's writes against their schedule: each point's write time minus k x dwell.
using Lateness = std::vector<double>;

// Output nobody reads, as a terminal scrolled past.
class Discard : public std::streambuf {
protected:
    int overflow(int c) override { return c; }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

// zrctl on a command line, in-process, with what it prints to out.
int zrctl(const std::vector<std::string>& arguments, std::ostream& out)
{
    std::vector<const char*> argv{"zrctl"};
    for (const std::string& a : arguments)
        argv.push_back(a.c_str());
    Discard discard;
    std::ostream err(&discard);
    return run_zrctl(static_cast<int>(argv.size()), argv.data(), out, err);
}

// 1000 points at 1 ms dwell from zrctl sweep, to the simulated board: how late
// each point's write is against its schedule.
void BM_ZrctlSweepDwellAccuracy(benchmark::State& state)
{
    SimulatedBoard board;
    BoardDriver* previous = install_board_driver(&board);
    Lateness late;
    for (auto _ : state) {
        std::ostringstream out;
        if (zrctl({"sweep", "--start", "4000", "--stop", "4999", "--step", "1", "--dwell", "1", "--part", "zr3500",
                   "--prescaler", "10/11", "--json"},
                  out) != 0) {
            state.SkipWithError("zrctl sweep failed");
            break;
        }
        const nlohmann::json points = nlohmann::json::parse(out.str())["points"];
        for (std::size_t i = 0; i < points.size(); ++i)
            late.push_back(points[i]["last_written_ms"].get<double>() - static_cast<double>(i) * 1.0);
        board.forget();
    }
    install_board_driver(previous);
    if (!late.empty())
        report_percentiles(state, late);
}
BENCHMARK(BM_ZrctlSweepDwellAccuracy)->Iterations(3)->Unit(benchmark::kMillisecond);

// The same sweep from the sweep window, on its timer, with the panel shown.
void BM_WindowSweepDwellAccuracy(benchmark::State& state)
{
    ShownPanel shown;
    SweepWindow* window = open_sweep_window();
    window->findChild<QLineEdit*>(QStringLiteral("sweep_start"))->setText(QStringLiteral("4000"));
    window->findChild<QLineEdit*>(QStringLiteral("sweep_stop"))->setText(QStringLiteral("4999"));
    window->findChild<QLineEdit*>(QStringLiteral("sweep_step"))->setText(QStringLiteral("1"));
    window->findChild<QDoubleSpinBox*>(QStringLiteral("sweep_dwell"))->setValue(1.0);
    Lateness late;
    window->on_written = [&late](const SweepWrite& w) {
        late.push_back(std::chrono::duration<double, std::milli>(w.written_at - w.due).count());
    };
    for (auto _ : state) {
        if (!window->start()) {
            state.SkipWithError("the sweep window did not start");
            break;
        }
        while (window->running())
            ProcessSystemEvents();
        shown.board.forget();
    }
    window->on_written = nullptr;
    window->close();
    if (!late.empty())
        report_percentiles(state, late);
}
BENCHMARK(BM_WindowSweepDwellAccuracy)->Iterations(3)->Unit(benchmark::kMillisecond);

// Hops at dwell 0: zrctl sweep over 10 000 points, the whole command (planning,
// writing, a line for each point), to the simulated board.
void BM_ZrctlHopRate(benchmark::State& state)
{
    SimulatedBoard board;
    BoardDriver* previous = install_board_driver(&board);
    constexpr int kPoints = 10000;
    std::vector<double> ms;
    for (auto _ : state) {
        std::ostringstream out;
        const auto start = Clock::now();
        const int status = zrctl({"sweep", "--start", "4000", "--stop", "4999.9", "--step", "0.1", "--part",
                                  "zr3500", "--prescaler", "10/11"},
                                 out);
        ms.push_back(ms_since(start));
        board.forget();
        if (status != 0) {
            state.SkipWithError("zrctl sweep failed");
            break;
        }
    }
    install_board_driver(previous);
    if (ms.empty())
        return;
    report_percentiles(state, ms);
    state.counters["points_per_s"] = kPoints / (state.counters["median_ms"] / 1000.0);
}
BENCHMARK(BM_ZrctlHopRate)->Iterations(10)->Unit(benchmark::kMillisecond);

// A continuous sweep of 100 000 writes: memory after the first thousand and at
// the end. The simulated board keeps nothing, as a real one keeps nothing here.
void BM_SweepMemoryOver100000Points(benchmark::State& state)
{
    constexpr uint64_t kWrites = 100000;
    const bool window_sweep = state.range(0) == 1;
    for (auto _ : state) {
        double rss_first = 0.0, heap_first = 0.0, rss_last = 0.0, heap_last = 0.0;
        auto measure = [&](uint64_t writes) {
            if (writes == 1000) {
                rss_first = resident_mb();
                heap_first = heap_in_use_mb();
            } else if (writes == kWrites) {
                rss_last = resident_mb();
                heap_last = heap_in_use_mb();
            }
        };
        if (window_sweep) {
            ShownPanel shown;
            SweepWindow* window = open_sweep_window();
            window->findChild<QDoubleSpinBox*>(QStringLiteral("sweep_dwell"))->setValue(0.0);
            window->findChild<QCheckBox*>(QStringLiteral("sweep_continuous"))->setChecked(true);
            window->on_written = [&](const SweepWrite& w) {
                shown.board.forget();
                measure(w.number + 1);
                if (w.number + 1 == kWrites)
                    window->stop();
            };
            window->start();
            while (window->running())
                ProcessSystemEvents();
            window->on_written = nullptr;
            window->close();
        } else {
            // Ends the sweep as Ctrl+C would, at the last write.
            SimulatedBoard counting;
            uint64_t writes = 0;
            counting.before_write = [&counting, &writes, &measure] {
                counting.forget();
                measure(++writes);
                if (writes == kWrites)
                    std::raise(SIGINT);
            };
            BoardDriver* previous = install_board_driver(&counting);
            Discard discard;
            std::ostream out(&discard);
            zrctl({"sweep", "--start", "4000", "--stop", "4090", "--step", "10", "--continuous", "--part", "zr3500",
                   "--prescaler", "10/11"},
                  out);
            install_board_driver(previous);
        }
        state.counters["rss_after_1000_MB"] = rss_first;
        state.counters["rss_after_100000_MB"] = rss_last;
        state.counters["heap_after_1000_MB"] = heap_first;
        state.counters["heap_after_100000_MB"] = heap_last;
    }
}
BENCHMARK(BM_SweepMemoryOver100000Points)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("window")
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// One SCPI program message read, found in the tree and run, with its response
// line made: the engine alone, no socket.
void BM_ScpiParseAndDispatch(benchmark::State& state)
{
    scpi::Engine engine;
    double frequency = 0.0;
    engine.commands().add("[SOURce:]FREQuency[:CW]",
                          {.set = [&frequency](const scpi::Call& c) {
                              frequency = scpi::numeric_value(c.parameters[0], {1e6, 6e9, scpi::kFrequencyUnits});
                          }});
    for (auto _ : state) {
        engine.execute("FREQ 4321MHz;*OPC?");
        benchmark::DoNotOptimize(engine.take_output());
    }
    if (frequency != 4321e6)
        state.SkipWithError("FREQ did not reach the instrument");
    state.counters["messages_per_s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                          benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ScpiParseAndDispatch)->Unit(benchmark::kMicrosecond);

// A query and its answer through the server on loopback, as a controller waits
// for each: *IDN? to the response line read.
void BM_ScpiLoopbackRoundTrip(benchmark::State& state)
{
    scpi::Engine engine;
    engine.commands().add("*IDN", {.query = [](const scpi::Call&) { return "zr-eval,bench,0,0"; }});
    scpi::Server server(engine, scpi::parse_endpoint("127.0.0.1:0"));
    std::atomic<bool> stop{false};
    std::thread loop([&] { server.run(stop); });
    sockaddr_storage address;
    const socklen_t length = scpi::socket_address(server.local(), address);
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), length) != 0)
        state.SkipWithError("no connection to the server");
    std::vector<double> ms;
    char chunk[256];
    for (auto _ : state) {
        const auto start = Clock::now();
        std::string response;
        send(fd, "*IDN?\n", 6, MSG_NOSIGNAL);
        while (response.find('\n') == std::string::npos) {
            const ssize_t n = recv(fd, chunk, sizeof chunk, 0);
            if (n <= 0)
                break;
            response.append(chunk, static_cast<std::size_t>(n));
        }
        ms.push_back(ms_since(start));
        if (response != "zr-eval,bench,0,0\n") {
            state.SkipWithError("no answer to *IDN?");
            break;
        }
    }
    close(fd);
    stop = true;
    loop.join();
    if (!ms.empty())
        report_percentiles(state, ms);
}
BENCHMARK(BM_ScpiLoopbackRoundTrip)->Iterations(20000)->Unit(benchmark::kMillisecond);

// zrctl serve's instrument on the simulated board behind its server on
// loopback, in a thread of its own, with a controller's socket.
class ServedSimulatedBoard {
public:
    ServedSimulatedBoard()
    {
        board_.before_write = [this] { board_.forget(); };
        previous_ = install_board_driver(&board_);
        opened_.emplace(DeviceChoice{});
        instrument_.emplace(engine_, BoardLink{opened_->writer(), "device 0", "BENCH"},
                            register_set_of(SettingOptions{}), nullptr);
        server_.emplace(engine_, scpi::parse_endpoint("127.0.0.1:0"));
        server_->tick = [this] { return instrument_->tick(); };
        loop_ = std::thread([this] { server_->run(stop_); });
        sockaddr_storage address;
        const socklen_t length = scpi::socket_address(server_->local(), address);
        fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        connected_ = connect(fd_, reinterpret_cast<sockaddr*>(&address), length) == 0;
    }
    ~ServedSimulatedBoard()
    {
        close(fd_);
        stop_ = true;
        loop_.join();
        server_.reset();
        instrument_.reset();
        opened_.reset();
        install_board_driver(previous_);
    }
    bool connected() const { return connected_; }
    // A message and its response line, "" when none came.
    std::string ask(const std::string& message)
    {
        send(fd_, message.data(), message.size(), MSG_NOSIGNAL);
        std::string response;
        char chunk[256];
        while (response.find('\n') == std::string::npos) {
            const ssize_t n = recv(fd_, chunk, sizeof chunk, 0);
            if (n <= 0)
                return "";
            response.append(chunk, static_cast<std::size_t>(n));
        }
        return response;
    }

private:
    SimulatedBoard board_;
    BoardDriver* previous_ = nullptr;
    std::optional<OpenBoard> opened_;
    scpi::Engine engine_;
    std::optional<Instrument> instrument_;
    std::optional<scpi::Server> server_;
    std::atomic<bool> stop_{false};
    std::thread loop_;
    int fd_ = -1;
    bool connected_ = false;
};

// FREQ 4321MHz;*OPC? to its answer: solved, written to the board and confirmed.
void BM_ServeFrequencyRoundTrip(benchmark::State& state)
{
    ServedSimulatedBoard served;
    if (!served.connected() || served.ask("PART ZR3500;PRESC 10;*OPC?\n") != "1\n") {
        state.SkipWithError("no served board");
        return;
    }
    std::vector<double> ms;
    for (auto _ : state) {
        const auto start = Clock::now();
        const std::string response = served.ask("FREQ 4321MHz;*OPC?\n");
        ms.push_back(ms_since(start));
        if (response != "1\n") {
            state.SkipWithError("no answer to FREQ 4321MHz;*OPC?");
            break;
        }
    }
    if (served.ask("SYST:ERR:COUN?\n") != "0\n")
        state.SkipWithError("the instrument reported errors");
    if (!ms.empty())
        report_percentiles(state, ms);
}
BENCHMARK(BM_ServeFrequencyRoundTrip)->Iterations(20000)->Unit(benchmark::kMillisecond);

// A hop list at dwell 0: 1000 points (4000 to 4099.9 MHz by 0.1) ten times,
// from INIT to the answer of *OPC? at its end.
void BM_ServeHopRate(benchmark::State& state)
{
    constexpr int kPoints = 1000, kPasses = 10;
    ServedSimulatedBoard served;
    std::string list = "PART ZR3500;PRESC 10;LIST:FREQ ";
    for (int i = 0; i < kPoints; ++i)
        list += (i ? "," : "") + std::to_string(40000 + i) + "00kHz";
    list += ";DWEL 0;COUN " + std::to_string(kPasses) + ";*OPC?\n";
    if (!served.connected() || served.ask(list) != "1\n") {
        state.SkipWithError("no served board");
        return;
    }
    std::vector<double> ms;
    for (auto _ : state) {
        const auto start = Clock::now();
        const std::string response = served.ask("INIT;*OPC?\n");
        ms.push_back(ms_since(start));
        if (response != "1\n") {
            state.SkipWithError("the list did not end");
            break;
        }
    }
    if (ms.empty())
        return;
    report_percentiles(state, ms);
    state.counters["points_per_s"] = kPoints * kPasses / (state.counters["median_ms"] / 1000.0);
}
BENCHMARK(BM_ServeHopRate)->Iterations(20)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    benchmark::Initialize(&argc, argv);
    if (InitUIRuntime(argc, argv, zr_eval_application()) != 0)
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CloseUIRuntime();
    return 0;
}
