// zrctl serve's instrument in-process on the simulated board: each command in
// its forms, bad values refused with nothing sent, board faults in the queue,
// hop lists on a trigger and on their dwell, and what DIAGnostic says of a
// write against the chip-side decoder. Expected words are the README's worked
// example (4321 MHz on ZR3500, 10/11: M 7, A 6, K 110100) and the same rule by
// hand: Fc = 100 MHz / (R + 1) = 50 MHz, N = 10 (M + 1) + A + 2K / 2^19, K the
// fraction truncated.
#include "support/zrctl_run.h"

#include "zrctl/board_open.h"
#include "zrctl/serve/instrument.h"
#include "zrctl/settings.h"

#include "d2xx/d2xx.h"
#include "d2xx/simulated_board.h"
#include "model/sweep_plan.h"
#include "model/version.h"
#include "scpi/scpi_engine.h"
#include "wire/burst_decoder.h"
#include "wire/bursts.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Bytes = std::vector<UCHAR>;
using Words = std::vector<uint32_t>;

constexpr uint32_t kMainWord4300 = 0x000E2C;  // R 1, M 7, A 6: N = 86, 4300 MHz
// K of each point of the README's sweep, 4300 to 4301 MHz by 0.25: the fraction
// of N above 86 times 2^18, truncated (4300.25 MHz: 0.005 x 262144 = 1310.72).
constexpr double kListMhz[] = {4300, 4300.25, 4300.5, 4300.75, 4301};
constexpr uint32_t kListK[] = {0, 1310, 2621, 3932, 5242};

// The auxiliary word of K: K's 18 bits, then 0 0 1.
uint32_t auxiliary_word(uint32_t K)
{
    return K << 3 | 1;
}

double fin_hz(uint32_t M, uint32_t A, uint32_t K)
{
    return 50e6 * (10.0 * (M + 1) + A + 2.0 * K / 524288.0);
}

Words latched(const Bytes& burst)
{
    const ChipReception r = decode_burst(burst);
    EXPECT_EQ(r.fault, "") << hex_bytes(burst);
    return r.latched_words;
}

class ServedBoard : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = install_board_driver(&board);
        board.details = {{"FT5XZ3P1A", "Simulated board", 'A'}};
        opened.emplace(DeviceChoice{});
        instrument.emplace(engine, BoardLink{opened->writer(), "device 0", "FT5XZ3P1A"},
                           register_set_of(SettingOptions{}),
                           [this](const std::string& line) { faults.push_back(line); });
        board.forget();
    }
    void TearDown() override
    {
        instrument.reset();
        opened.reset();
        install_board_driver(previous_);
    }

    // The response line of a message, without its "\n"; the hop list is ticked
    // on, as the server would, while an answer waits.
    std::string ask(const std::string& message)
    {
        engine.execute(message);
        const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (engine.waiting() && std::chrono::steady_clock::now() < give_up) {
            const std::chrono::milliseconds wait = instrument->tick();
            engine.poll();
            if (engine.waiting())
                std::this_thread::sleep_for(wait);
        }
        std::string out = engine.take_output();
        if (!out.empty() && out.back() == '\n')
            out.pop_back();
        return out;
    }
    // Every error in the queue, oldest first, emptied.
    std::vector<std::string> errors()
    {
        std::vector<std::string> all;
        for (std::string e = ask("SYST:ERR?"); e != "0,\"No error\""; e = ask("SYST:ERR?"))
            all.push_back(e);
        return all;
    }
    std::string error_code()
    {
        const std::vector<std::string> all = errors();
        return all.empty() ? "0" : all.front().substr(0, all.front().find(','));
    }
    // The README's example: ZR3500 with the 10/11 prescaler.
    void zr3500_10_11() { ask("PART ZR3500;PRESC 10"); }

    SimulatedBoard board;
    std::optional<OpenBoard> opened;
    scpi::Engine engine;
    std::optional<Instrument> instrument;
    std::vector<std::string> faults;

private:
    BoardDriver* previous_ = nullptr;
};

}  // namespace

TEST_F(ServedBoard, IdentifiesTheMakerTheBoardAndTheVersion)
{
    EXPECT_EQ(ask("*IDN?"), std::string("Corvane,ZR3100/ZR3500 PLL Synthesizer Evaluation,FT5XZ3P1A,") + ZR_VERSION);
    EXPECT_EQ(ask("*idn?;*OPC?"), ask("*IDN?") + ";1");
}

TEST_F(ServedBoard, FrequencySolvesAndWritesWhatProgramWrites)
{
    zr3500_10_11();
    EXPECT_TRUE(board.bursts.empty()) << "settings send nothing";
    for (const char* form : {"FREQ 4321MHz", "SOUR:FREQ:CW 4321000000", ":source:frequency 4.321GHz",
                             "FREQUENCY:CW 4321000kHz", "FREQ 4321 MHZ"}) {
        board.forget();
        ask(form);
        ASSERT_EQ(board.bursts.size(), 1u) << form;
        EXPECT_EQ(latched(board.bursts[0]), (Words{kMainWord4300 + 0, auxiliary_word(110100)})) << form;
        EXPECT_EQ(board.bursts[0].size(), 98u) << form;
    }
    EXPECT_DOUBLE_EQ(std::stod(ask("FREQ?")), fin_hz(7, 6, 110100));
    EXPECT_EQ(ask("FREQ:REQ?"), "4321000000");
    EXPECT_NEAR(std::stod(ask("FREQ:ERR?")), fin_hz(7, 6, 110100) - 4321e6, 1e-3);  // -91.553 Hz
    EXPECT_TRUE(errors().empty());

    // A frequency typed with decimals is solved from the same number program reads.
    for (const std::string mhz : {"4300.1", "4000.2", "1234.5678901", "4321"}) {
        board.forget();
        ask("FREQ " + mhz + "MHz");
        ASSERT_EQ(board.bursts.size(), 1u);
        const ZrctlRun burst = run_zrctl({"burst", "--part", "zr3500", "--prescaler", "10/11", "--freq", mhz});
        EXPECT_EQ(hex_bytes(board.bursts[0]) + "\n", burst.out) << mhz << " MHz";
    }
}

TEST_F(ServedBoard, BadValuesAndCommandsAreRefusedAndNothingIsSent)
{
    zr3500_10_11();
    ask("LIST:FREQ 4300MHz");
    const std::string words = ask("REG:WORD?");
    struct Bad {
        const char* message;
        const char* code;
    };
    const Bad bad[] = {
        {"FREQ 1e308", "-222"},        {"FREQ NAN", "-222"},          {"FREQ INF", "-222"},
        {"FREQ -5MHz", "-222"},        {"FREQ 5001MHz", "-222"},      {"FREQ 4THz", "-131"},
        {"FREQ", "-109"},              {"FREQ 1MHz,2MHz", "-108"},    {"FREQ ON", "-104"},
        {"FREQ \"4321\"", "-104"},     {"FROB 3", "-113"},            {"FREQ:FROB?", "-113"},
        {"REG:M 512", "-222"},         {"REG:R -1", "-222"},          {"REG:K 1.5", "-224"},
        {"REG:E 256", "-222"},         {"PART ZR9999", "-224"},       {"PRESC 7", "-224"},
        {"PRESC 11", "-222"},          {"PRESC BYPASSED", "-224"},    {"MASH 4", "-222"},
        {"REF 200MHz", "-222"},        {"REF -1", "-222"},            {"DITH 2", "-224"},
        {"LIST:DWEL -1", "-222"},      {"LIST:DWEL 2 days", "-131"},  {"LIST:COUN 0", "-222"},
        {"LIST:STEP SOMETIMES", "-224"}, {"LIST:FREQ 1MHz,NAN", "-222"}, {"LIST:FREQ 4000MHz,-1", "-222"},
        {"*TRG", "-211"},              {"REG:SEND 1", "-108"},        {"DIAG:BURS", "-113"},
    };
    for (const Bad& b : bad) {
        ask(b.message);
        EXPECT_EQ(error_code(), b.code) << b.message;
    }
    // A hop list holds no more points than a sweep.
    std::string too_many = "LIST:FREQ 4300MHz";
    for (std::size_t i = 0; i < kMaxSweepPoints; ++i)
        too_many += ",4300MHz";
    ask(too_many);
    EXPECT_EQ(error_code(), "-222") << "more than " << kMaxSweepPoints << " points";
    EXPECT_TRUE(board.bursts.empty());
    EXPECT_EQ(ask("REG:WORD?"), words) << "no refused value reached the settings";
    EXPECT_EQ(ask("LIST:FREQ?"), "4300000000") << "a list with one bad point is refused whole";
    EXPECT_EQ(ask("PART?;PRESC?"), "ZR3500;10");

    // ZR3100 has no fractional term to set.
    ask("PART ZR3100");
    for (const char* conflict : {"DITH ON", "REG:K 5"}) {
        ask(conflict);
        EXPECT_EQ(error_code(), "-221") << conflict;
    }
    EXPECT_EQ(ask("REG:K?;:DITH?"), "0;0");

    ask("*RST;:INIT");
    EXPECT_EQ(error_code(), "-221") << "an empty hop list does not start";
}

TEST_F(ServedBoard, SettingsChangeAsThePanelsFieldsDoAndSendIsThePress)
{
    ask("SOURCE:PART ZR3500;PRESCALER 10;MASH 3;:DITHER ON;:REFERENCE 50MHZ");
    EXPECT_EQ(ask("PART?;PRESC?;MASH?;DITH?;REF?"), "ZR3500;10;3;1;50000000");
    ask("PRESC 5;MASH 2;DITH OFF;REF 100MHz;PRESC?;MASH?;DITH?");
    EXPECT_EQ(ask("PRESC?;MASH?;DITH?;REF?"), "5;2;0;100000000");
    ask("PRESC BYP");
    EXPECT_EQ(ask("PRESC?"), "BYP");

    // The README's registers set one by one: the words it gives for them.
    ask("PRESC 10;MASH 2;REG:R 1;M 7;A 6;K 110100;:REG:E 165");
    EXPECT_EQ(ask("REG:R?;M?;A?;K?;E?"), "1;7;6;110100;165");
    EXPECT_EQ(ask("REG:WORD?"), "#H000E2C,#H0D70A1,#HA5,#H28");
    EXPECT_TRUE(board.bursts.empty());
    EXPECT_DOUBLE_EQ(std::stod(ask("FREQ?")), fin_hz(7, 6, 110100)) << "the Fin of the registers as set";

    ask("REG:SEND");
    ASSERT_EQ(board.bursts.size(), 1u);
    EXPECT_EQ(latched(board.bursts[0]), (Words{kMainWord4300, auxiliary_word(110100)}));
    EXPECT_EQ(decode_burst(board.bursts[0]).options, 0x28) << "ENHBAR 1, MASH 1-1";

    // ENH "Enable  (Low)": the press sends the enhancement word alone.
    ask("ENH ON");
    EXPECT_EQ(ask("ENH?;REG:WORD?"), "1;#H000E2C,#H0D70A1,#HA5,#H20");
    ask("REG:SEND");
    ASSERT_EQ(board.bursts.size(), 2u);
    EXPECT_EQ(board.bursts[1].size(), 20u);
    EXPECT_EQ(decode_burst(board.bursts[1]).enhancement_words, Words{165});
    EXPECT_TRUE(errors().empty());

    // *RST: the first-start settings that zrctl's defaults are, nothing sent.
    ask("LIST:FREQ 4000MHz;STEP ONCE;DWEL 1");
    ask("*RST");
    EXPECT_EQ(board.bursts.size(), 2u);
    EXPECT_EQ(ask("ENH?;LIST:POIN?;STEP?;DWEL?;COUN?"), "0;0;AUTO;0;1");
    ask("REG:SEND");
    ASSERT_EQ(board.bursts.size(), 3u);
    EXPECT_EQ(hex_bytes(board.bursts[2]) + "\n", run_zrctl({"burst"}).out);
    EXPECT_EQ(ask("PART?"), "ZR3100");
}

TEST_F(ServedBoard, BoardFaultsGoToTheQueueAndTheInstrumentGoesOn)
{
    zr3500_10_11();
    board.write_status = FT_IO_ERROR;
    ask("FREQ 4321MHz;*OPC?");
    EXPECT_EQ(errors(), std::vector<std::string>{"-240,\"Hardware error;FT_IO_ERROR (4), 0 of 98 bytes written\""});
    ASSERT_EQ(faults.size(), 1u);
    EXPECT_EQ(faults[0], "the write to FTDI device 0 failed: FT_IO_ERROR (4), 0 of 98 bytes written; what the "
                         "chip latched cannot be known");

    board.write_status = FT_OK;
    board.write_limit = 20;
    ask("REG:SEND");
    EXPECT_EQ(errors(), std::vector<std::string>{"-240,\"Hardware error;short write, 20 of 98 bytes written\""});
    EXPECT_EQ(faults.at(1), "the write to FTDI device 0 was short: 20 of 98 bytes written; the chip latched none "
                            "of it");
    EXPECT_EQ(ask("*ESR?"), "16") << "an execution error";

    board.write_limit = 0xFFFFFFFF;
    ask("FREQ 4321MHz");
    EXPECT_TRUE(errors().empty());
    EXPECT_EQ(latched(board.bursts.back()), (Words{kMainWord4300, auxiliary_word(110100)}));

    // A list whose third write fails ends there, and says so.
    int writes = 0;
    board.before_write = [&] { board.write_status = ++writes == 3 ? FT_IO_ERROR : FT_OK; };
    ask("LIST:FREQ 4300MHz,4300.25MHz,4300.5MHz,4300.75MHz;:INIT;*OPC?");
    EXPECT_EQ(writes, 3);
    EXPECT_EQ(errors(),
              std::vector<std::string>{"-240,\"Hardware error;list point 3: FT_IO_ERROR (4), 0 of 49 bytes written\""});
    EXPECT_EQ(faults.at(2), "the hop list to FTDI device 0 stopped at point 3 (4300.5 MHz): the write failed with "
                            "FT_IO_ERROR (4), 0 of 49 bytes written; what the chip latched cannot be known");
    EXPECT_FALSE(instrument->list_running());
    EXPECT_EQ(ask("FREQ:REQ?"), "4300250000") << "the settings of the last point written whole";
    EXPECT_EQ(ask("*IDN?").substr(0, 8), "Corvane,");
}

TEST_F(ServedBoard, AListOnStepOnceWritesOnePointForEachTrigger)
{
    zr3500_10_11();
    ask("LIST:FREQ 4300MHz,4300.25MHz,4300.5MHz,4300.75MHz,4301MHz;STEP ONCE");
    EXPECT_EQ(ask("LIST:POIN?;STEP?"), "5;ONCE");
    ask("INIT");
    instrument->tick();
    EXPECT_TRUE(board.bursts.empty()) << "a list on STEP ONCE waits for its trigger";
    ask("INIT");
    EXPECT_EQ(error_code(), "-213");

    for (std::size_t i = 0; i < std::size(kListMhz); ++i) {
        ask("*TRG");
        ASSERT_EQ(board.bursts.size(), i + 1);
        const Words expected = i == 0 ? Words{kMainWord4300, auxiliary_word(kListK[i])}
                                      : Words{auxiliary_word(kListK[i])};  // the main word is unchanged
        EXPECT_EQ(latched(board.bursts[i]), expected) << "point " << i + 1;
        EXPECT_EQ(board.bursts[i].size(), i == 0 ? 98u : 49u);
        const double fin = std::stod(ask("FREQ?"));
        EXPECT_DOUBLE_EQ(fin, fin_hz(7, 6, kListK[i]));
        EXPECT_TRUE(fin <= kListMhz[i] * 1e6 && fin > kListMhz[i] * 1e6 - 50e6 / 262144) << "truncated";
        ask("FREQ 4000MHz");
        EXPECT_EQ(error_code(), i + 1 < std::size(kListMhz) ? "-221" : "0") << "no other write while it runs";
    }
    EXPECT_EQ(ask("*OPC?"), "1");
    EXPECT_EQ(board.bursts.size(), std::size(kListMhz) + 1);
    ask("*TRG");
    EXPECT_EQ(error_code(), "-211");

    // The bursts sweep writes for the same list, byte for byte.
    SimulatedBoard sweep_board;
    install_board_driver(&sweep_board);
    EXPECT_EQ(run_zrctl({"sweep", "--part", "zr3500", "--prescaler", "10/11", "--start", "4300", "--stop", "4301",
                         "--step", "0.25"})
                  .status,
              0);
    install_board_driver(&board);
    EXPECT_EQ(sweep_board.bursts, std::vector<Bytes>(board.bursts.begin(), board.bursts.begin() + 5));
}

TEST_F(ServedBoard, AListOnAutoKeepsItsDwellAndOpcAnswersWhenItIsDone)
{
    zr3500_10_11();
    std::vector<SweepClock::time_point> written;
    board.before_write = [&] { written.push_back(SweepClock::now()); };
    const SweepClock::time_point before = SweepClock::now();
    ask("LIST:FREQ 4300MHz,4300.25MHz,4300.5MHz;DWEL 4ms;COUN 2;:INIT");
    EXPECT_TRUE(instrument->list_running());
    EXPECT_EQ(ask("LIST:COUN?"), "2");
    EXPECT_EQ(errors(), std::vector<std::string>{});
    EXPECT_EQ(ask("*OPC?"), "1");
    EXPECT_FALSE(instrument->list_running());
    ASSERT_EQ(written.size(), 6u);
    for (std::size_t k = 1; k < written.size(); ++k)
        EXPECT_GE(written[k] - before, std::chrono::milliseconds(4 * k)) << "write " << k << " came early";
    for (std::size_t k = 0; k < 6; ++k)
        EXPECT_EQ(latched(board.bursts[k]).back(), auxiliary_word(kListK[k % 3])) << "write " << k;
    EXPECT_EQ(board.bursts[3].size(), 49u) << "the second pass starts from the chip's main word";
    EXPECT_EQ(ask("FREQ:REQ?"), "4300500000");

    // At dwell 0 the points go out as fast as the board takes them.
    ask("LIST:DWEL 0;COUN 100;:INIT;*OPC?");
    EXPECT_EQ(board.bursts.size(), 6u + 300u);
    EXPECT_TRUE(errors().empty());
}

TEST_F(ServedBoard, AbortEndsTheListWhereItIs)
{
    zr3500_10_11();
    ask("LIST:FREQ 4300MHz,4300.25MHz;DWEL 60s;:INIT");
    instrument->tick();
    ASSERT_EQ(board.bursts.size(), 1u);
    ask("FREQ 4000MHz;REG:SEND;:PART ZR3100;:LIST:DWEL 0;:REG:M 9");
    EXPECT_EQ(errors(), std::vector<std::string>(5, "-221,\"Settings conflict;a hop list runs; ABORt it first\""))
        << "nothing that writes or changes the settings while it runs";
    EXPECT_EQ(ask("LIST:DWEL?"), "60");

    ask("ABOR");
    EXPECT_EQ(ask("*OPC?"), "1");
    instrument->tick();
    EXPECT_EQ(board.bursts.size(), 1u);
    EXPECT_EQ(ask("FREQ:REQ?"), "4300000000") << "the chip keeps the last point";
    ask("FREQ 4000MHz");
    EXPECT_EQ(board.bursts.size(), 2u);
    EXPECT_TRUE(errors().empty());
}

TEST_F(ServedBoard, DiagnosticsShowTheLastWriteAsTheChipReadsIt)
{
    EXPECT_EQ(ask("DIAG:BURS?;DEC?"), "\"\";\"\"");
    zr3500_10_11();
    ask("FREQ 4321MHz");
    ASSERT_EQ(board.bursts.size(), 1u);
    EXPECT_EQ(ask("DIAGNOSTIC:BURST?"), "\"" + hex_bytes(board.bursts[0]) + "\"");
    EXPECT_EQ(ask("DIAG:DEC?"), "\"main word 0x000E2C: R 1, M 7, A 6, PS 0 (prescaler in use); auxiliary word "
                                "0x0D70A1: K 110100; option lines ENHBAR 1, MASH 1, RAND_EN 0, MOD_SEL 0; no setup "
                                "violation\"");

    // A short write: the burst handed to the board, and what its bytes would latch whole.
    board.write_limit = 30;
    ask("LIST:FREQ 4300.25MHz;STEP ONCE;:INIT;*TRG");
    EXPECT_EQ(error_code(), "-240");
    EXPECT_EQ(ask("DIAG:BURS?"), "\"" + hex_bytes(board.bursts.back()) + "\"");
    EXPECT_EQ(latched(board.bursts.back()), (Words{kMainWord4300, auxiliary_word(1310)}));
}

// The command line of serve: refused before the board is opened.
TEST_F(ServedBoard, TheServeCommandRefusesItsAddressBeforeOpeningTheBoard)
{
    ZrctlRun run = run_zrctl({"serve", "--listen", "localhost:5025"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "zrctl: --listen \"localhost:5025\" has no IPv4 address (numeric, such as 127.0.0.1)\n");
    run = run_zrctl({"serve", "--listen", "127.0.0.1:99999"});
    EXPECT_EQ(run.status, 2);

    const int taken = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(taken, reinterpret_cast<sockaddr*>(&address), length), 0);
    ASSERT_EQ(::listen(taken, 1), 0);
    ::getsockname(taken, reinterpret_cast<sockaddr*>(&address), &length);
    run = run_zrctl({"serve", "--listen", "127.0.0.1:" + std::to_string(ntohs(address.sin_port))});
    ::close(taken);
    EXPECT_EQ(run.status, 6);
    EXPECT_NE(run.err.find("cannot listen at 127.0.0.1:"), std::string::npos) << run.err;
    EXPECT_TRUE(board.calls.empty()) << "nothing opened";

    run = run_zrctl({"serve", "--r", "64"});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(board.calls.empty());
}

TEST_F(ServedBoard, RoundingChoosesTheNearestChannelAndATargetOutOfReachIsRefused)
{
    ask("PART ZR3100;PRESC 10");
    EXPECT_EQ(ask("FREQ:ROUN?"), "DOWN");
    ask("FREQ 4049MHz");
    EXPECT_EQ(ask("FREQ?"), "4000000000") << "truncated, as the panel solves";
    ask("FREQ:ROUN NEAR");
    EXPECT_EQ(ask("FREQ:ROUN?"), "NEAR");
    ask("FREQ 4049MHz");
    EXPECT_EQ(ask("FREQ?"), "4050000000") << "N 81, one channel up";
    ask("LIST:FREQ 4049MHz;:INIT;*OPC?");
    EXPECT_EQ(ask("FREQ?"), "4050000000") << "a list solves by the same rule";
    EXPECT_TRUE(errors().empty());

    // 10 x (1 + 1) x 50 MHz is the lowest Fin of R 1 with 10/11.
    board.forget();
    ask("FREQ 500MHz");
    const std::vector<std::string> refused = errors();
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_EQ(refused[0].rfind("-222,", 0), 0u) << refused[0];
    EXPECT_NE(refused[0].find("outside 1000 to 5000 MHz"), std::string::npos) << refused[0];
    ask("LIST:FREQ 4000MHz,500MHz;:INIT");
    EXPECT_EQ(error_code(), "-222");
    EXPECT_TRUE(board.bursts.empty()) << "nothing sent for a target out of reach";
    ask("*RST");
    EXPECT_EQ(ask("FREQ:ROUN?"), "DOWN");
}
