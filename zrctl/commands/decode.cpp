// zrctl decode HEX...: what the chip latches from a burst, by the chip-side
// decoder: each word with its fields, the option lines, and any setup violation.
#include "zrctl/commands/commands.h"

#include "zrctl/failure.h"
#include "zrctl/report.h"

#include "wire/board_lines.h"
#include "wire/burst_decoder.h"
#include "wire/serial_words.h"
#include "wire/word_fields.h"

#include <CLI/CLI.hpp>

#include <cctype>
#include <iostream>
#include <memory>

namespace {

int hex_digit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    const int lower = std::tolower(static_cast<unsigned char>(c));
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

// Bytes as burst prints them ("E8 E8 F8"), in one argument or many, also run
// together ("E8E8F8"), with commas or a 0x before each group.
std::vector<uint8_t> bytes_of(const std::vector<std::string>& arguments)
{
    std::vector<uint8_t> bytes;
    for (const std::string& argument : arguments) {
        std::string group;
        auto take_group = [&] {
            std::string_view digits = group;
            if (digits.size() >= 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X'))
                digits.remove_prefix(2);
            if (digits.empty() || digits.size() % 2 != 0)
                throw Failure(ExitStatus::InvalidInput,
                              "\"" + group + "\" is not whole bytes in hex (two digits each)");
            for (std::size_t i = 0; i < digits.size(); i += 2) {
                const int high = hex_digit(digits[i]), low = hex_digit(digits[i + 1]);
                if (high < 0 || low < 0)
                    throw Failure(ExitStatus::InvalidInput, "\"" + group + "\" is not bytes in hex");
                bytes.push_back(static_cast<uint8_t>(high * 16 + low));
            }
            group.clear();
        };
        for (char c : argument) {
            if (c == ' ' || c == ',' || c == '\t' || c == '\n' || c == '\r') {
                if (!group.empty())
                    take_group();
            } else {
                group += c;
            }
        }
        if (!group.empty())
            take_group();
    }
    if (bytes.empty())
        throw Failure(ExitStatus::InvalidInput, "no bytes to decode");
    return bytes;
}

struct DecodedWord {
    std::string kind;  // "main", "auxiliary", "enhancement", or "unknown"
    Json fields = Json::object();
    std::string text;
};

DecodedWord decoded(const LatchedWord& latch)
{
    DecodedWord d;
    const WordKind kind = word_kind(latch);
    d.kind = word_kind_name(kind);
    d.text = word_fields_text(kind, latch.word);
    switch (kind) {
    case WordKind::Enhancement: d.fields["E"] = latch.word; break;
    case WordKind::Main: {
        const MainWordFields f = main_word_fields(latch.word);
        d.fields = {{"R", f.R}, {"M", f.M}, {"A", f.A}, {"PS", f.PS}};
        break;
    }
    case WordKind::Auxiliary: d.fields["K"] = auxiliary_word_k(latch.word); break;
    case WordKind::Unknown: break;
    }
    return d;
}

// A burst's hex is a few hundred characters; more than this on standard input is
// no burst, and is not read on without end.
constexpr std::size_t kLongestInput = 1 << 20;

std::string standard_input(std::istream& in)
{
    std::string text(kLongestInput + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (text.size() > kLongestInput)
        throw Failure(ExitStatus::InvalidInput, "standard input holds more than the " +
                                                    std::to_string(kLongestInput >> 20) +
                                                    " MiB a burst's hex could be");
    return text;
}

// The words as given, "-" and no words at all standing for standard input.
std::vector<std::string> words_to_decode(const std::vector<std::string>& arguments, std::istream& in)
{
    if (arguments.empty())
        return {standard_input(in)};
    std::vector<std::string> words = arguments;
    for (std::string& w : words)
        if (w == "-")
            w = standard_input(in);
    return words;
}

void run_decode(const std::vector<std::string>& arguments, Output& output)
{
    const std::vector<uint8_t> burst = bytes_of(words_to_decode(arguments, output.in ? *output.in : std::cin));
    const ChipReception r = decode_burst(burst);

    Json words = Json::array();
    Json options;
    std::string option_text;
    for (const BoardLine& line : kBoardLines) {
        if (!(line.mask & kOptionLines))
            continue;
        const int level = (r.options & line.mask) ? 1 : 0;
        options[line.name] = level;
        option_text += std::string(option_text.empty() ? "" : ", ") + line.name + " " + std::to_string(level);
    }
    if (output.json) {
        for (const LatchedWord& latch : r.latches) {
            const DecodedWord d = decoded(latch);
            words.push_back({{"byte", latch.byte},
                             {"kind", d.kind},
                             {"word", latch.word},
                             {"word_hex", hex_text(latch.word, latch.enhancement ? 2 : 6)},
                             {"fields", d.fields}});
        }
        Json j;
        j["command"] = "decode";
        j["length"] = burst.size();
        j["words"] = words;
        j["option_lines"] = options;
        j["violation"] = r.fault.empty() ? Json(nullptr) : Json(r.fault);
        output.out << json_text(j) << '\n';
        return;
    }
    output.out << burst.size() << " bytes\n";
    for (const LatchedWord& latch : r.latches) {
        const DecodedWord d = decoded(latch);
        output.out << "byte " << latch.byte << ": " << d.kind << " word "
                   << hex_text(latch.word, latch.enhancement ? 2 : 6) << ": " << d.text << '\n';
    }
    if (r.latches.empty())
        output.out << "no word latched\n";
    output.out << "option lines: " << option_text << '\n'
               << (r.fault.empty() ? "no setup violation" : "setup violation: " + r.fault) << '\n';
}

}  // namespace

Command add_decode_command(CLI::App& zrctl)
{
    auto hex = std::make_shared<std::vector<std::string>>();
    CLI::App* decode = zrctl.add_subcommand(
        "decode", "What the chip latches from a burst: each word with its fields (R, M, A, PS, K or E), the "
                  "option lines, and any setup violation");
    decode->add_option("HEX", *hex,
                       "the burst's bytes in hex, as burst prints them; without any, or for -, read from standard "
                       "input (zrctl burst ... | zrctl decode)");
    return {decode, [hex](Output& output) { run_decode(*hex, output); }};
}
