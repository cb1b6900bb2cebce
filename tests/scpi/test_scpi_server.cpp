// The SCPI server on loopback with real sockets and the tests' own instrument:
// lines and messages in order, a second client told the instrument is busy,
// overlong and unfinished lines, garbage, clients that leave, are killed or do
// not read, and the tick that ends a hop list while *OPC? waits. Where it
// listens, as typed.
#include "scpi/fake_instrument.h"
#include "support/scpi_client.h"
#include "scpi/scpi_server.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <mutex>
#include <random>
#include <stdexcept>
#include <system_error>
#include <thread>

#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

using namespace scpi;
using namespace std::chrono_literals;

namespace {

const std::string kIdn = "Fake,Generator,0,1";
const std::string kBusy = "-200,\"Execution error;another client controls the instrument\"";

using TestClient = ScpiClient;

class ScpiServer : public ::testing::Test {
protected:
    void start(ServerOptions options = {.line_timeout = 300ms, .reader_timeout = 300ms, .stop_check = 10ms})
    {
        server = std::make_unique<Server>(engine, parse_endpoint("127.0.0.1:0"), options);
        server->log = [this](const std::string& line) {
            const std::lock_guard<std::mutex> hold(log_mutex);
            log += line + "\n";
        };
        server->tick = server_tick;
        at = server->local();
        thread = std::thread([this] { server->run(stop); });
    }
    void TearDown() override
    {
        stop = true;
        if (thread.joinable())
            thread.join();
    }
    bool logged(const std::string& part)
    {
        for (int i = 0; i < 500; ++i) {
            {
                const std::lock_guard<std::mutex> hold(log_mutex);
                if (log.find(part) != std::string::npos)
                    return true;
            }
            std::this_thread::sleep_for(10ms);
        }
        return false;
    }
    // A client that controls the instrument, once the last one has gone.
    std::unique_ptr<TestClient> controller()
    {
        for (int i = 0; i < 300; ++i) {
            auto c = std::make_unique<TestClient>(at);
            if (c->ask("*IDN?") == kIdn)
                return c;
            std::this_thread::sleep_for(10ms);
        }
        throw std::runtime_error("no client got control");
    }

    Engine engine;
    FakeInstrument instrument{engine};  // the server thread's alone while it runs
    std::unique_ptr<Server> server;
    std::function<std::chrono::milliseconds()> server_tick;
    Endpoint at;
    std::atomic<bool> stop{false};
    std::thread thread;
    std::mutex log_mutex;
    std::string log;
};

}  // namespace

TEST_F(ScpiServer, AnswersLinesInOrder)
{
    start();
    TestClient c(at);
    EXPECT_EQ(c.ask("*IDN?"), kIdn);
    c.send("FREQ 2GHz;FREQ?\r\nPART ZR3500\nPART?;FREQ?\n");
    EXPECT_EQ(c.line(), "2000000000");
    EXPECT_EQ(c.line(), "ZR3500;2000000000");
    c.send("FR");
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(c.ask("EQ? MIN"), "1000000");
}

TEST_F(ScpiServer, ASecondClientIsToldTheInstrumentIsBusy)
{
    start();
    auto first = std::make_unique<TestClient>(at);
    EXPECT_EQ(first->ask("*IDN?"), kIdn);
    TestClient second(at);
    EXPECT_EQ(second.line(), kBusy);
    EXPECT_TRUE(second.closed_by_server());
    TestClient eager(at);  // it speaks before reading
    eager.send("FREQ 3GHz\n*IDN?\n");
    EXPECT_EQ(eager.line(), kBusy);
    EXPECT_EQ(first->ask("FREQ?"), "100000000") << "nothing of the refused clients ran";
    first.reset();
    ASSERT_TRUE(logged("left"));
    EXPECT_EQ(TestClient(at).ask("*IDN?"), kIdn);
}

TEST_F(ScpiServer, AnOverlongLineIsDroppedUnreadAndTheConnectionStays)
{
    start();
    TestClient c(at);
    std::string line;
    while (line.size() < (1u << 20))
        line += "FREQ 2GHz;";
    c.send(line + "\nSYST:ERR?\n");
    EXPECT_EQ(c.line(), "-363,\"Input buffer overrun;a line over 65536 bytes\"");
    EXPECT_EQ(c.ask("SYST:ERR?;:FREQ?"), "0,\"No error\";100000000");
}

TEST_F(ScpiServer, GarbageIsRefusedAndTheServerGoesOn)
{
    start();
    TestClient c(at);
    const char bytes[] = {'\0', 1,   0x1b, 0x7f, '\x80', '\xff', '"', '\'', ';',
                          ',',  ':', '?',  '*',  '#',    ' ',    '\r', '\n', '1'};
    std::minstd_rand random(5025);
    std::string garbage;
    for (int i = 0; i < 256 * 1024; ++i)
        garbage += bytes[random() % sizeof bytes];
    c.send(garbage + "\n");
    EXPECT_EQ(c.ask("*IDN?"), kIdn) << "garbage answered nothing";
    EXPECT_EQ(c.ask("SYST:ERR:COUN?"), "32");
    const char nul[] = "*CLS\nFREQ 2G\0Hz\n";
    c.send(std::string_view(nul, sizeof nul - 1));
    EXPECT_EQ(c.ask("FREQ?;SYST:ERR?"), "100000000;-101,\"Invalid character;FREQ 2G\\x00Hz\"");
}

TEST_F(ScpiServer, TwoHundredConnectionsOpenedAndDroppedLeaveItServing)
{
    start();
    for (int i = 0; i < 200; ++i) {
        TestClient c(at);
        if (i % 3 == 0)
            c.send("*IDN?\n");  // its answer finds the connection closed
        else if (i % 3 == 1)
            c.send("FREQ 2G");  // half a line that must never run
    }
    EXPECT_EQ(controller()->ask("FREQ?"), "100000000");
}

TEST_F(ScpiServer, ALineLeftUnfinishedIsDroppedAfterTheTimeout)
{
    start();
    TestClient c(at);
    c.send("FREQ 2G");
    std::this_thread::sleep_for(700ms);
    EXPECT_EQ(c.ask("SYST:ERR?;:FREQ?"), "-365,\"Time out error;a line left unfinished for 300 ms\";100000000");
    for (const char byte : std::string("FREQ 3GHz\n")) {  // slow, but never idle for the timeout
        c.send(std::string(1, byte));
        std::this_thread::sleep_for(50ms);
    }
    EXPECT_EQ(c.ask("FREQ?;SYST:ERR?"), "3000000000;0,\"No error\"");
}

TEST_F(ScpiServer, AClientKilledWhileItsListRunsLeavesTheServerServing)
{
    start();
    auto killed = std::make_unique<TestClient>(at);
    killed->send("LIST:FREQ 1GHz,2GHz;:INIT;*OPC?\n");
    ASSERT_TRUE(logged("connected"));
    killed.reset();
    ASSERT_TRUE(logged("left"));
    const auto next = controller();
    EXPECT_EQ(next->ask("ABOR;SYST:ERR?"),
              "-410,\"Query INTERRUPTED;the controller left before *OPC? was answered\"");
}

TEST_F(ScpiServer, AClientThatReadsNothingIsDropped)
{
    engine.commands().add("TEST:BLOB", {.query = [](const Call&) { return std::string(64 * 1024, 'x'); }});
    start({.max_output = 256 * 1024, .reader_timeout = 300ms, .stop_check = 10ms});
    TestClient sleeper(at, 4096);
    std::string queries;
    for (int i = 0; i < 300; ++i)
        queries += "TEST:BLOB?\n";
    sleeper.send(queries);
    EXPECT_TRUE(logged("dropped: it read no response for 300 ms"));
    EXPECT_EQ(controller()->ask("FREQ?"), "100000000");
}

TEST_F(ScpiServer, TheTickEndsAHopListWhileOpcWaitsAndTheLoopGoesOn)
{
    std::atomic<int> ticks_left = 20;
    server_tick = [&] {
        if (instrument.running && --ticks_left == 0)
            instrument.running = false;
        return 5ms;
    };
    start();
    TestClient c(at);
    c.send("INIT;*OPC?\n");
    EXPECT_EQ(TestClient(at).line(), kBusy) << "the loop serves others while *OPC? waits";
    EXPECT_EQ(c.line(), "1");
    EXPECT_EQ(ticks_left, 0);
}

TEST_F(ScpiServer, AMessageThatStartsTimedWorkIsTickedAtOnce)
{
    // A tick that would not come again for a minute: the message that starts a
    // hop list brings it forward, or the list's first point would wait that long.
    std::atomic<int> ticks = 0;
    server_tick = [&] {
        ++ticks;
        instrument.running = false;
        return std::chrono::milliseconds(60s);
    };
    start();
    TestClient c(at);
    EXPECT_EQ(c.ask("INIT;*OPC?"), "1");
    EXPECT_EQ(c.ask("INIT;*OPC?"), "1");
    EXPECT_GE(ticks, 3);
}

TEST_F(ScpiServer, StopsWhenAskedAndClosesItsClient)
{
    start();
    TestClient c(at);
    EXPECT_EQ(c.ask("*IDN?"), kIdn);
    stop = true;
    thread.join();
    EXPECT_TRUE(c.closed_by_server());
    EXPECT_TRUE(logged("closed: the server stops"));
    EXPECT_THROW(Server(engine, parse_endpoint("127.0.0.1:" + std::to_string(at.port))), std::system_error)
        << "a port taken is refused";
}

TEST_F(ScpiServer, ListensOnIpv6Loopback)
{
    try {
        server = std::make_unique<Server>(engine, parse_endpoint("[::1]:0"));
    } catch (const std::system_error& e) {
        GTEST_SKIP() << "no IPv6 loopback here: " << e.what();
    }
    at = server->local();
    EXPECT_TRUE(at.ipv6);
    EXPECT_NE(at.port, 0);
    thread = std::thread([this] { server->run(stop); });
    EXPECT_EQ(TestClient(at).ask("*IDN?"), kIdn);
}

TEST(ScpiEndpoint, ReadsAddressesAsTyped)
{
    const struct {
        const char* text;
        const char* address;
        int port;
        bool ipv6;
        bool loopback;
    } cases[] = {
        {"127.0.0.1:5025", "127.0.0.1", 5025, false, true}, {"[::1]:5025", "::1", 5025, true, true},
        {"0.0.0.0:5025", "0.0.0.0", 5025, false, false},   {"127.1.2.3:0", "127.1.2.3", 0, false, true},
        {"[::]:65535", "::", 65535, true, false},          {"10.0.0.7:5025", "10.0.0.7", 5025, false, false},
    };
    for (const auto& c : cases) {
        const Endpoint e = parse_endpoint(c.text);
        EXPECT_EQ(e.address, c.address);
        EXPECT_EQ(e.port, c.port);
        EXPECT_EQ(e.ipv6, c.ipv6);
        EXPECT_EQ(is_loopback(e), c.loopback) << c.text;
        EXPECT_EQ(endpoint_text(e), c.text);
    }
    for (const char* bad : {"127.0.0.1", "127.0.0.1:", "127.0.0.1:65536", "127.0.0.1:-1", "127.0.0.1:50x",
                            "localhost:5025", "::1:5025", "[::1]", "[127.0.0.1]:5025", "1.2.3:80", ":5025"})
        EXPECT_THROW(parse_endpoint(bad), std::invalid_argument) << bad;
}
