#pragma once
// The instrument's commands: each a header pattern such as
// "[SOURce:]FREQuency[:CW]" or "*IDN", with a setting and a query form, each
// handled by a function its caller registers.
//
// A typed mnemonic names a node by its short form (the capitals, FREQ) or its
// long form (FREQUENCY), in any case; nothing in between (FREQU). Bracketed
// nodes may be left out.

#include "scpi/scpi_parser.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace scpi {

// What a handler is given: the parameters, and the header as typed for details.
struct Call {
    std::string_view header;
    const std::vector<Parameter>& parameters;
};

// A query's answer, or that it is not ready yet: the engine asks again later
// and holds the rest of the program message until it is.
class Reply {
public:
    Reply(std::string text) : text_(std::move(text)) {}
    Reply(const char* text) : text_(text) {}
    static Reply later()
    {
        Reply r("");
        r.ready_ = false;
        return r;
    }
    bool ready() const { return ready_; }
    const std::string& text() const { return text_; }

private:
    std::string text_;
    bool ready_ = true;
};

struct Arity {
    static constexpr std::size_t kAny = SIZE_MAX;
    std::size_t min = 0;
    std::size_t max = 0;
};

// A node's forms: either may be missing (a query-only or setting-only node).
// Handlers refuse bad input by throwing Refusal.
struct Command {
    std::function<void(const Call&)> set{};
    std::function<Reply(const Call&)> query{};
    Arity set_parameters{1, 1};
    Arity query_parameters{0, 0};
};

// Whether a typed mnemonic names a node or a choice: `name` as registered
// ("FREQuency", "ZR3500"), whose short form is all before its first small letter.
bool mnemonic_matches(std::string_view name, std::string_view typed);

class CommandTree {
public:
    // Throws std::invalid_argument for a pattern that is not of that form.
    void add(std::string_view pattern, Command command);

    // The command the path names, numeric suffixes aside; null when none does.
    const Command* find(const std::vector<Mnemonic>& path) const;
    // The common command ("IDN" for *IDN); null when none.
    const Command* find_common(std::string_view name) const;

private:
    struct Node {
        std::string name;
        bool optional = false;
    };
    struct Entry {
        std::vector<Node> nodes;  // empty for a common command
        std::string common;
        Command command;
    };
    std::vector<Entry> entries_;
};

}  // namespace scpi
