// Program messages run on the tests' own instrument: responses on one line, the
// current path after ';', each bad input refused with its standard error and
// nothing set, the error queue and event status, and answers that wait for a
// hop list.
#include "scpi/fake_instrument.h"
#include "scpi/scpi_engine.h"
#include "scpi/scpi_values.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

using namespace scpi;

namespace {

constexpr const char* kNoError = "0,\"No error\"\n";

class ScpiEngine : public ::testing::Test {
protected:
    std::string run(std::string_view message)
    {
        engine.execute(message);
        return engine.take_output();
    }
    std::string next_error() { return run("SYST:ERR?"); }
    int next_error_number() { return std::stoi(next_error()); }

    Engine engine;
    FakeInstrument instrument{engine};
};

}  // namespace

TEST_F(ScpiEngine, AnswersTheQueriesOfAMessageOnOneLine)
{
    EXPECT_EQ(run("*IDN?;FREQ?"), "Fake,Generator,0,1;100000000\n");
    EXPECT_EQ(run("FREQ 1GHz"), "");
    EXPECT_EQ(run("FREQ 4321MHZ;FREQ?;freq? max"), "4321000000;6000000000\n");
    EXPECT_EQ(run("  "), "");
    EXPECT_EQ(run("PART ZR3500;PART?;"), "ZR3500\n");
    EXPECT_EQ(run("LIST:DWEL 0.25;DWEL?"), "0.25\n");
}

TEST_F(ScpiEngine, ReadsUnitsInAnyCaseAndMinimumMaximum)
{
    const struct {
        const char* message;
        const double* value;
        double expected;
    } cases[] = {
        {"FREQ 4321mhz", &instrument.frequency, 4321e6},  // MHZ is mega in any case
        {"SOUR:FREQ:CW 4.321 GHz", &instrument.frequency, 4321e6},
        {"frequency 4321000kHz", &instrument.frequency, 4321e6},
        {":FREQ 4321e6 HZ", &instrument.frequency, 4321e6},
        {"FREQ MAX", &instrument.frequency, 6e9},
        {"FREQ minimum", &instrument.frequency, 1e6},
        {"LIST:DWEL 5ms", &instrument.dwell, 0.005},
        {"LIST:DWEL 250 us", &instrument.dwell, 250e-6},
        {"LIST:DWEL 2", &instrument.dwell, 2.0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(run(c.message), "");
        EXPECT_DOUBLE_EQ(*c.value, c.expected) << c.message;
        EXPECT_EQ(next_error(), kNoError) << c.message;
    }
}

TEST_F(ScpiEngine, FollowsTheCurrentPathAfterASemicolon)
{
    run("LIST:DWEL 5ms;COUN 3");
    EXPECT_EQ(instrument.count, 3u);
    run("LIST:COUN 2;FREQ 2GHz");  // LIST:FREQ, not the CW frequency
    EXPECT_EQ(instrument.list, std::vector<double>{2e9});
    EXPECT_EQ(instrument.frequency, FakeInstrument::kStartFrequency);
    run("LIST:COUN 4;:FREQ 3GHz");
    EXPECT_EQ(instrument.frequency, 3e9);
    run("SOUR:FREQ 1GHz;LIST:COUN 5");
    EXPECT_EQ(instrument.count, 5u);
    run("LIST:COUN 6;*OPC;DWEL 1");  // a common command keeps the path
    EXPECT_EQ(instrument.dwell, 1.0);
    EXPECT_EQ(run("SYST:ERR:NEXT?;COUN?"), "0,\"No error\";0\n");
    EXPECT_EQ(run("SYST:ERR?;COUN?"), "0,\"No error\"\n");  // SYST:COUN?
    EXPECT_EQ(next_error(), "-113,\"Undefined header;COUN?\"\n");
    EXPECT_EQ(run("FREQ:CW 2GHz;FREQ?"), "");  // FREQ:FREQ?
    EXPECT_EQ(next_error(), "-113,\"Undefined header;FREQ?\"\n");
    EXPECT_EQ(run("LIST:COUN 7"), "");  // no path is kept from one message to the next
    EXPECT_EQ(run("FREQ?"), "2000000000\n");
}

TEST_F(ScpiEngine, RefusesEachBadInputWithItsErrorAndSetsNothing)
{
    const struct {
        std::string message;
        int error;
    } cases[] = {
        {"FREQU 1GHz", -113},      {"FREQ:CWX 1", -113},        {"BOGUS?", -113},          {"*XYZ", -113},
        {"IDN?", -113},            {"*IDN", -113},              {"OUTP?", -113},           {"FREQ", -109},
        {"PART", -109},            {"FREQ 1GHz,2GHz", -108},    {"*RST 1", -108},          {"FREQ? 1,2", -108},
        {"FREQ2 1GHz", -114},      {"FREQ 1e308", -222},        {"FREQ 1e309", -222},      {"FREQ -1e309", -222},
        {"FREQ NAN", -222},        {"FREQ INF", -222},          {"FREQ ninf", -222},       {"FREQ -1GHz", -222},
        {"FREQ 0", -222},          {"FREQ 6.000001GHz", -222},  {"FREQ 1 THz", -131},      {"LIST:DWEL 1 GHz", -131},
        {"FREQ ON", -104},         {"FREQ \"1GHz\"", -104},     {"LIST:COUN 2.5", -224},   {"LIST:COUN 2 S", -138},
        {"LIST:COUN 0", -222},     {"PART ZR9999", -224},       {"PART 3500", -104},       {"PART ZR", -224},
        {"OUTP 2", -224},          {"OUTP MAYBE", -224},        {"FREQ 1GHz\x01", -101},   {"FREQ 12\xc2\xb5s", -101},
        {std::string("FREQ 1\0GHz", 10), -101},                 {"LIST:FREQ 1GHz,,2GHz", -109},
        {"LIST:FREQ 1GHz,7GHz", -222},                          {"FREQ " + std::string(1 << 20, '9'), -124},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(run(c.message), "") << c.message.substr(0, 40);
        EXPECT_EQ(next_error_number(), c.error) << c.message.substr(0, 40);
        EXPECT_EQ(next_error(), kNoError) << c.message.substr(0, 40);
    }
    EXPECT_EQ(instrument.settings, 0);
    EXPECT_EQ(instrument.frequency, FakeInstrument::kStartFrequency);
}

TEST_F(ScpiEngine, ACommandErrorEndsTheMessageOtherErrorsDoNot)
{
    EXPECT_EQ(run("*IDN?;BOGUS;*IDN?"), "Fake,Generator,0,1\n");
    run("BOGUS;FREQ 2GHz");
    EXPECT_EQ(instrument.frequency, FakeInstrument::kStartFrequency);
    EXPECT_EQ(run("FREQ 9GHz;FREQ?"), "100000000\n");
    EXPECT_EQ(run("DIAG:FAUL;:FREQ 2GHz;:FREQ?"), "2000000000\n");
    EXPECT_EQ(next_error(), "-113,\"Undefined header;BOGUS\"\n");
    EXPECT_EQ(next_error(), "-113,\"Undefined header;BOGUS\"\n");
    EXPECT_EQ(next_error(), "-222,\"Data out of range;9GHz is not in 1000000..6000000000\"\n");
    EXPECT_EQ(next_error(), "-200,\"Execution error;the board did not answer\"\n");
    EXPECT_EQ(next_error(), kNoError);
}

TEST_F(ScpiEngine, TheErrorQueueKeepsTheOldestAndSaysItOverflowed)
{
    EXPECT_EQ(run("SYST:ERR:COUN?"), "0\n");
    for (int i = 0; i < 40; ++i)
        run("BOGUS" + std::to_string(i));
    EXPECT_EQ(run("SYSTEM:ERROR:COUNT?;*ESR?"), "32;40\n");  // the overflow is a device-specific error
    EXPECT_EQ(next_error(), "-113,\"Undefined header;BOGUS0\"\n");
    for (int i = 1; i < 31; ++i)
        EXPECT_EQ(next_error_number(), -113);
    EXPECT_EQ(run("SYST:ERR:NEXT?"), "-350,\"Queue overflow\"\n");
    EXPECT_EQ(next_error(), kNoError);

    run("FREQU;FREQ 9GHz");
    EXPECT_EQ(run("*ESR?"), "32\n");  // a command error stops before the -222
    run("FREQ 9GHz;FREQU");
    EXPECT_EQ(run("SYST:ERR:COUN?;*CLS;COUN?;*ESR?"), "3;0;0\n");
}

TEST_F(ScpiEngine, ErrorDetailsAreQuotedAndCut)
{
    run("PART \"say \"\"hi\"\"\"");
    EXPECT_EQ(next_error(), "-104,\"Data type error;\"\"say \"\"hi\"\"\"\" is not a choice\"\n");
    run("X" + std::string(100, 'Y') + "\x01");
    const std::string e = next_error();
    EXPECT_EQ(e.substr(0, 26), "-101,\"Invalid character;XY");
    EXPECT_EQ(e.substr(e.size() - 6), "Y...\"\n") << "the detail is cut";
    EXPECT_LT(e.size(), 255u);
}

TEST_F(ScpiEngine, EventStatusBitsOfEachErrorClass)
{
    const struct {
        const char* message;
        const char* esr;
    } cases[] = {
        {"BOGUS", "32\n"},        // command error
        {"FREQ 9GHz", "16\n"},    // execution error
        {"*OPC", "1\n"},          // operation complete at once: no list runs
        {"*OPC;FREQ 9GHz", "17\n"},
        {"", "0\n"},              // *ESR? clears it
    };
    for (const auto& c : cases) {
        run(c.message);
        EXPECT_EQ(run("*ESR?"), c.esr) << c.message;
    }
    engine.status().report(Error::QueueOverflow);
    engine.status().report(Error::QueryInterrupted);
    EXPECT_EQ(run("*ESR?"), "12\n");  // device-specific and query errors
}

TEST_F(ScpiEngine, AnswersWaitForTheHopListAndTheRestOfTheMessageWithThem)
{
    EXPECT_EQ(run("INIT;*OPC?;FREQ?"), "");
    EXPECT_TRUE(engine.waiting());
    EXPECT_THROW(engine.execute("FREQ?"), std::logic_error);
    engine.poll();
    EXPECT_EQ(engine.take_output(), "");
    instrument.running = false;
    engine.poll();
    EXPECT_FALSE(engine.waiting());
    EXPECT_EQ(engine.take_output(), "1;100000000\n");

    run("INIT;*WAI;FREQ 2GHz");
    EXPECT_EQ(instrument.frequency, FakeInstrument::kStartFrequency) << "*WAI holds what follows";
    instrument.running = false;
    engine.poll();
    EXPECT_EQ(instrument.frequency, 2e9);

    run("INIT;*OPC");
    engine.poll();
    EXPECT_EQ(run("*ESR?"), "0\n");
    run("ABOR");
    engine.poll();
    EXPECT_EQ(run("*ESR?"), "1\n");
}

TEST_F(ScpiEngine, AQueryLeftUnansweredByItsControllerIsInterrupted)
{
    run("INIT;*OPC?");
    engine.abandon();
    EXPECT_FALSE(engine.waiting());
    instrument.running = false;
    engine.poll();
    EXPECT_EQ(engine.take_output(), "");
    EXPECT_EQ(next_error(), "-410,\"Query INTERRUPTED;the controller left before *OPC? was answered\"\n");
}

TEST(ScpiValues, Responses)
{
    EXPECT_EQ(number_response(4321e6), "4321000000");
    EXPECT_EQ(number_response(4320999908.447266), "4320999908.447266");
    EXPECT_EQ(number_response(1e-7), "1e-07");
    EXPECT_EQ(number_response(NAN), "9.91e+37");
    EXPECT_EQ(number_response(-INFINITY), "-9.9e+37");
    EXPECT_EQ(string_response("a\"b"), "\"a\"\"b\"");
}
