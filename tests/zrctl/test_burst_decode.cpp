// zrctl burst and decode: the bytes "Program Device" sends, checked by what the
// chip latches from them; and the decoder's report of well-formed and broken bursts.
#include "support/zrctl_run.h"

#include "wire/burst_decoder.h"
#include "wire/bursts.h"

#include <gtest/gtest.h>

namespace {

std::vector<uint8_t> burst_bytes(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), "burst");
    arguments.push_back("--json");
    const ZrctlRun run = run_zrctl(arguments);
    EXPECT_EQ(run.status, 0) << run.err;
    return run.json()["bytes"].get<std::vector<uint8_t>>();
}

nlohmann::json decode(const std::vector<std::string>& hex)
{
    std::vector<std::string> arguments{"decode"};
    arguments.insert(arguments.end(), hex.begin(), hex.end());
    arguments.push_back("--json");
    const ZrctlRun run = run_zrctl(arguments);
    EXPECT_EQ(run.status, 0) << run.err;
    return run.json();
}

}  // namespace

TEST(ZrctlBurst, TheFirstStartSettingsOnTheEnhancementPath)
{
    const ZrctlRun run = run_zrctl({"burst", "--enh-path"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "20 22 22 23 22 23 22 23 22 23 22 23 22 23 22 23 22 23 22 20\n")
        << "the enhancement word 0 with the option byte 0x20";
}

TEST(ZrctlBurst, TheChipLatchesTheRegistersTheRangeRulesLeave)
{
    // ZR3100, first start: bypassed, R 1, M 7; the main word alone.
    std::vector<uint8_t> bytes = burst_bytes({});
    ASSERT_EQ(bytes.size(), kMainBurstLength);
    ChipReception r = decode_burst(bytes);
    EXPECT_EQ(r.fault, "");
    EXPECT_EQ(r.latched_words, std::vector<uint32_t>{0x010E20}) << "R 1, M 7, PS 1, A 0";
    EXPECT_EQ(r.options, 0x28) << "ENHBAR 1, MASH 1";

    bytes = burst_bytes({"--part", "zr3500", "--prescaler", "10/11", "--r", "33", "--m", "341", "--a", "5", "--k",
                         "174762", "--mash", "1-1-1", "--lnm", "in"});
    ASSERT_EQ(bytes.size(), kMainAuxBurstLength);
    r = decode_burst(bytes);
    EXPECT_EQ(r.fault, "");
    EXPECT_EQ(r.latched_words, (std::vector<uint32_t>{0x14AA2A, 0x155551})) << "K 0x2AAAA";
    EXPECT_EQ(r.options, 0x08);

    bytes = burst_bytes({"--prescaler", "5/6", "--m", "0", "--enh", "165"});
    r = decode_burst(bytes);
    EXPECT_EQ(r.latched_words, std::vector<uint32_t>{0x000220}) << "R 1, and M 0 sent as the rules leave it: 1";
    EXPECT_EQ(r.options, 0xA8) << "MOD_SEL 1";

    bytes = burst_bytes({"--enh", "165", "--enh-path", "--prescaler", "5/6"});
    r = decode_burst(bytes);
    EXPECT_EQ(r.enhancement_words, std::vector<uint32_t>{0xA5});
    EXPECT_EQ(r.options, 0xA0) << "ENHBAR 0 on the enhancement path";
}

TEST(ZrctlBurst, AFrequencyIsSolvedAsSolveSolvesIt)
{
    const ZrctlRun solved = run_zrctl({"solve", "4321", "--part", "zr3500", "--prescaler", "10/11", "--json"});
    const ZrctlRun burst =
        run_zrctl({"burst", "--freq", "4321", "--part", "zr3500", "--prescaler", "10/11", "--json"});
    ASSERT_EQ(burst.status, 0) << burst.err;
    EXPECT_EQ(burst.json()["registers"], solved.json()["registers"]);
    EXPECT_EQ(burst.json()["main_word"], solved.json()["main_word"]);
    EXPECT_EQ(burst.json()["auxiliary_word"], solved.json()["auxiliary_word"]);

    const ZrctlRun beyond = run_zrctl({"burst", "--freq", "7000"});
    EXPECT_EQ(beyond.status, 2);
    EXPECT_EQ(beyond.err, "zrctl: 7000 MHz is outside 0 to 5000, the range of the field \"Out Freq (MHz)\"\n");
    EXPECT_EQ(beyond.out, "") << "no bytes for a target refused";
}

TEST(ZrctlDecode, TheWorkedBurstsWordByWord)
{
    nlohmann::json j = decode({hex_bytes(build_burst(0x100002, 9, 0x00, 1))});
    EXPECT_EQ(j["words"], nlohmann::json::parse(R"([
        {"byte": 46, "kind": "main", "word": 1048578, "word_hex": "0x100002",
         "fields": {"R": 32, "M": 0, "A": 1, "PS": 0}},
        {"byte": 95, "kind": "auxiliary", "word": 9, "word_hex": "0x000009", "fields": {"K": 1}}])"));
    EXPECT_EQ(j["violation"], nullptr);

    j = decode({hex_bytes(build_burst(0xA5, 0, 0x80, 0))});
    EXPECT_EQ(j["words"], nlohmann::json::parse(R"([{"byte": 19, "kind": "enhancement", "word": 165,
                                                      "word_hex": "0xA5", "fields": {"E": 165}}])"));
    EXPECT_EQ(j["option_lines"], nlohmann::json::parse(R"({"ENHBAR": 0, "MASH": 0, "RAND_EN": 0, "MOD_SEL": 1})"));

    j = decode({hex_bytes(build_burst(0x155555, 0, 0xE8, 1))});
    EXPECT_EQ(j["words"][0]["kind"], "unknown") << "its last bit is 1, its last three 101";
    EXPECT_EQ(j["option_lines"], nlohmann::json::parse(R"({"ENHBAR": 1, "MASH": 1, "RAND_EN": 1, "MOD_SEL": 1})"));

    const ZrctlRun text = run_zrctl({"decode", hex_bytes(build_burst(0x14AA2A, 0x155551, 0x28, 1))});
    EXPECT_EQ(text.out, "98 bytes\n"
                        "byte 46: main word 0x14AA2A: R 33, M 341, A 5, PS 0 (prescaler in use)\n"
                        "byte 95: auxiliary word 0x155551: K 174762\n"
                        "option lines: ENHBAR 1, MASH 1, RAND_EN 0, MOD_SEL 0\n"
                        "no setup violation\n");
}

TEST(ZrctlDecode, BrokenBurstsAreReportedAndBadHexRefused)
{
    std::vector<uint8_t> bytes = build_burst(0x14AA2A, 0, 0x28, 1);
    bytes.resize(40);
    nlohmann::json j = decode({hex_bytes(bytes)});
    EXPECT_EQ(j["words"], nlohmann::json::array()) << "cut before its strobe";
    EXPECT_EQ(j["violation"], "serial lines not at rest after the burst");

    bytes = build_burst(0x14AA2A, 0, 0x28, 1);
    bytes[10] ^= 0x80;
    EXPECT_EQ(decode({hex_bytes(bytes)})["violation"], "option lines change at byte 10");

    // The clock's last rise taken out: S_WR then latches 20 bits.
    bytes = build_burst(0x14AA2A, 0, 0x28, 1);
    const std::size_t last_rise = decode_burst(bytes).clock_edges.back();
    bytes[last_rise] = bytes[last_rise - 1];
    const ZrctlRun short_word = run_zrctl({"decode", hex_bytes(bytes)});
    EXPECT_EQ(short_word.status, 0);
    EXPECT_NE(short_word.out.find("\nsetup violation: S_WR latched 20 bits\n"), std::string::npos) << short_word.out;

    EXPECT_EQ(decode({"20222223", "0x22,0x20"})["length"], 6) << "bytes run together, with commas and 0x";

    for (const auto& [hex, message] : std::vector<std::pair<std::string, std::string>>{
             {"20 2", "\"2\" is not whole bytes in hex (two digits each)"},
             {"20 G2", "\"G2\" is not bytes in hex"},
             {" , ", "no bytes to decode"}}) {
        const ZrctlRun run = run_zrctl({"decode", hex});
        EXPECT_EQ(run.status, 2) << hex;
        EXPECT_EQ(run.err, "zrctl: " + message + "\n");
    }
}
