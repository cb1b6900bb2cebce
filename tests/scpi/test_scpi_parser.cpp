// The program message's syntax: units, headers and parameters as written by
// hand here, every malformed unit with its standard error, and the tree's
// short and long forms and optional nodes.
#include "scpi/scpi_parser.h"
#include "scpi/scpi_tree.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

using namespace scpi;

namespace {

std::string names(const ProgramUnit& u)
{
    std::string s = u.common ? "*" : u.from_root ? ":" : "";
    for (std::size_t i = 0; i < u.header.size(); ++i)
        s += (i ? ":" : "") + u.header[i].name + (u.header[i].suffix != 1 ? std::to_string(u.header[i].suffix) : "");
    return s + (u.query ? "?" : "");
}

}  // namespace

TEST(ScpiParser, SplitsUnitsAtSemicolonsOutsideQuotes)
{
    using Units = std::vector<std::string_view>;
    EXPECT_EQ(split_units("FREQ 1;*OPC?"), (Units{"FREQ 1", "*OPC?"}));
    EXPECT_EQ(split_units("NAME \"a;b\";X 'c;\"d'"), (Units{"NAME \"a;b\"", "X 'c;\"d'"}));
    EXPECT_EQ(split_units("S \"say \"\"hi;\"\"\";Y"), (Units{"S \"say \"\"hi;\"\"\"", "Y"}));
    EXPECT_EQ(split_units("A;;B;"), (Units{"A", "", "B", ""}));
    EXPECT_EQ(split_units("S \"open;X"), (Units{"S \"open;X"}));
}

TEST(ScpiParser, ReadsHeaders)
{
    const struct {
        const char* text;
        const char* read;
    } cases[] = {
        {"*IDN?", "*IDN?"},       {"*rst", "*rst"},         {":SOUR:FREQ:CW 1", ":SOUR:FREQ:CW"},
        {"  freq? MAX", "freq?"}, {"LIST:FREQ 1", "LIST:FREQ"}, {"OUTP2:STAT ON", "OUTP2:STAT"},
        {"REG:R1 3", "REG:R"},    {"SYST:ERR:NEXT?", "SYST:ERR:NEXT?"},
    };
    for (const auto& c : cases) {
        const ParsedUnit p = parse_unit(c.text);
        EXPECT_EQ(p.error, Error::None) << c.text << ": " << p.detail;
        EXPECT_EQ(names(p.unit), c.read) << c.text;
    }
}

TEST(ScpiParser, ReadsParameters)
{
    const ParsedUnit p = parse_unit("X 4321MHz, 1.5e3 kHz,-.25,#H1F,#b101,ZR3500,\"say \"\"hi\"\"\",'a,b'");
    ASSERT_EQ(p.error, Error::None) << p.detail;
    const auto& ps = p.unit.parameters;
    ASSERT_EQ(ps.size(), 8u);
    EXPECT_EQ(ps[0].value, 4321.0);
    EXPECT_EQ(ps[0].suffix, "MHz");
    EXPECT_EQ(ps[1].value, 1500.0);
    EXPECT_EQ(ps[1].suffix, "kHz");
    EXPECT_EQ(ps[2].value, -0.25);
    EXPECT_EQ(ps[3].value, 31.0);
    EXPECT_EQ(ps[4].value, 5.0);
    EXPECT_EQ(ps[5].kind, DataKind::Character);
    EXPECT_EQ(ps[5].text, "ZR3500");
    EXPECT_EQ(ps[6].kind, DataKind::String);
    EXPECT_EQ(ps[6].text, "say \"hi\"");
    EXPECT_EQ(ps[7].text, "a,b");
}

TEST(ScpiParser, NumbersBeyondTheDoublesAreInfiniteOrZero)
{
    EXPECT_EQ(parse_unit("X 1e308").unit.parameters[0].value, 1e308);
    EXPECT_EQ(parse_unit("X 1e309").unit.parameters[0].value, INFINITY);
    EXPECT_EQ(parse_unit("X -1e309").unit.parameters[0].value, -INFINITY);
    EXPECT_EQ(parse_unit("X 1e-400").unit.parameters[0].value, 0.0);
    EXPECT_EQ(parse_unit("X 0.000000001e-320").unit.parameters[0].value, 0.0);
    EXPECT_EQ(parse_unit("X #HFFFFFFFFFFFFFFFFF").unit.parameters[0].value, INFINITY);
}

TEST(ScpiParser, RefusesMalformedUnitsWithTheirErrors)
{
    const struct {
        std::string text;
        Error error;
    } cases[] = {
        {"FREQ:", Error::Syntax},
        {"FREQ::CW 1", Error::Syntax},
        {":", Error::Syntax},
        {"*", Error::Syntax},
        {"1FREQ", Error::Syntax},
        {"FREQ?:CW", Error::Syntax},
        {"FREQ @", Error::Syntax},
        {"FREQ,1", Error::HeaderSeparator},
        {"FREQ\"1\"", Error::HeaderSeparator},
        {"FREQUENCYFREQ 1", Error::MnemonicTooLong},
        {"F12345678901 1", Error::HeaderSuffixOutOfRange},
        {"FR\x01Q 1", Error::InvalidCharacter},
        {std::string("FREQ 1\0GHz", 10), Error::InvalidCharacter},
        {"FREQ \xff", Error::InvalidCharacter},
        {"NAME \"caf\xc3\xa9\"", Error::InvalidCharacter},
        {"FREQ 1,,2", Error::MissingParameter},
        {"FREQ 1,", Error::MissingParameter},
        {"FREQ 12x3", Error::InvalidCharacterInNumber},
        {"FREQ 1.2.3", Error::InvalidCharacterInNumber},
        {"FREQ -", Error::InvalidCharacterInNumber},
        {"FREQ 1 2", Error::InvalidCharacterInNumber},
        {"FREQ #H", Error::InvalidCharacterInNumber},
        {"FREQ #HG", Error::InvalidCharacterInNumber},
        {"FREQ #B102", Error::InvalidCharacterInNumber},
        {"FREQ #12ab", Error::DataType},
        {"FREQ 1e40000", Error::ExponentTooLarge},
        {"FREQ 1" + std::string(300, '1'), Error::TooManyDigits},
        {"FREQ 1ABCDEFGHIJKLM", Error::InvalidSuffix},
        {"PART AB$", Error::InvalidCharacterData},
        {"PART ABCDEFGHIJKLM", Error::CharacterDataTooLong},
        {"NAME \"open", Error::InvalidStringData},
        {"NAME \"a\"b", Error::InvalidStringData},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parse_unit(c.text).error, c.error) << c.text;
    // Leading zeros are not digits that count.
    EXPECT_EQ(parse_unit("FREQ " + std::string(300, '0') + "1").error, Error::None);
}

TEST(ScpiTree, MatchesShortAndLongFormsInAnyCase)
{
    for (const char* typed : {"FREQ", "freq", "Freq", "FREQUENCY", "frequency", "FrEqUeNcY"})
        EXPECT_TRUE(mnemonic_matches("FREQuency", typed)) << typed;
    for (const char* typed : {"FREQU", "FRE", "FREQUENCYX", "F", ""})
        EXPECT_FALSE(mnemonic_matches("FREQuency", typed)) << typed;
    EXPECT_TRUE(mnemonic_matches("ZR3500", "zr3500"));
    EXPECT_FALSE(mnemonic_matches("ZR3500", "ZR"));
    EXPECT_TRUE(mnemonic_matches("MHZ", "mhz"));
}

TEST(ScpiTree, OptionalNodesMayBeLeftOut)
{
    CommandTree tree;
    const auto tagged = [](std::size_t tag) { return Command{.set_parameters = {tag, tag}}; };
    tree.add("[SOURce:]FREQuency[:CW]", tagged(1));
    tree.add("[SOURce:]LIST:FREQuency", tagged(2));
    tree.add("SYSTem:ERRor[:NEXT]", tagged(3));
    tree.add(":SYSTem:ERRor:COUNt", tagged(4));
    tree.add("*IDN", tagged(5));
    const auto found = [&](std::initializer_list<const char*> typed) -> std::size_t {
        std::vector<Mnemonic> path;
        for (const char* t : typed)
            path.push_back({t, 1});
        const Command* c = tree.find(path);
        return c ? c->set_parameters.min : 0;
    };
    EXPECT_EQ(found({"FREQ"}), 1u);
    EXPECT_EQ(found({"sour", "freq"}), 1u);
    EXPECT_EQ(found({"SOURCE", "FREQUENCY", "CW"}), 1u);
    EXPECT_EQ(found({"freq", "cw"}), 1u);
    EXPECT_EQ(found({"LIST", "FREQ"}), 2u);
    EXPECT_EQ(found({"SOUR", "LIST", "FREQ"}), 2u);
    EXPECT_EQ(found({"SYST", "ERR"}), 3u);
    EXPECT_EQ(found({"SYST", "ERR", "NEXT"}), 3u);
    EXPECT_EQ(found({"SYST", "ERR", "COUN"}), 4u);
    for (auto none : {std::initializer_list<const char*>{"CW"}, {"SOUR"}, {"FREQ", "CW", "CW"},
                      {"SOUR", "SOUR", "FREQ"}, {"LIST"}, {"SYST", "ERR", "COUN", "NEXT"}, {"IDN"}})
        EXPECT_EQ(found(none), 0u);
    ASSERT_NE(tree.find_common("idn"), nullptr);
    EXPECT_EQ(tree.find_common("idn")->set_parameters.min, 5u);
    EXPECT_EQ(tree.find_common("FREQ"), nullptr);
}

TEST(ScpiTree, RefusesMalformedPatterns)
{
    CommandTree tree;
    for (const char* pattern : {"", ":", "[SOURce:FREQuency", "freq", "FRE3Q", "*", "[]:FREQ", "FREQ uency"})
        EXPECT_THROW(tree.add(pattern, {}), std::invalid_argument) << pattern;
}
