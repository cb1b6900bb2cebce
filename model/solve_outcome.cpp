#include "model/solve_outcome.h"

#include "model/chip_limits.h"
#include "model/frequency_field.h"

#include <cmath>
#include <cstdio>

namespace {

// "A lowered from 6 to 4 by the range rules. "
std::string change_text(const RuleChange& c)
{
    char text[120];
    std::snprintf(text, sizeof text, "%s %s from %u to %u by the range rules. ", c.name,
                  c.to > c.from ? "raised" : "lowered", c.from, c.to);
    return text;
}

// A solved value beyond the register's width.
std::string beyond_width(const char* name, uint32_t solved, int bits)
{
    const uint32_t held = held_in_register(solved, bits);
    if (held == solved)
        return "";
    char text[160];
    std::snprintf(text, sizeof text, "The solver gave %s %u, more than %d bits hold: the register holds %u. ", name,
                  solved, bits, held);
    return text;
}

}  // namespace

std::vector<RuleChange> rule_changes(uint32_t M_written, uint32_t A_written, uint32_t M_ruled, uint32_t A_ruled)
{
    std::vector<RuleChange> c;
    if (M_written != M_ruled)
        c.push_back({"M", M_written, M_ruled});
    if (A_written != A_ruled)
        c.push_back({"A", A_written, A_ruled});
    return c;
}

std::string rule_changes_text(const std::vector<RuleChange>& changes)
{
    if (changes.empty())
        return "changed nothing";
    std::string text;
    for (const RuleChange& c : changes)
        text += (text.empty() ? "changed " : ", ") + std::string(c.name) + " " + std::to_string(c.from) + " -> " +
                std::to_string(c.to);
    return text;
}

std::string solve_outcome_text(const SolveOutcome& o)
{
    const FrequencyError e = frequency_error(o.requested_mhz, o.achieved_mhz);
    char ppm[40];
    if (std::isfinite(e.ppm))
        std::snprintf(ppm, sizeof ppm, "%+.3f ppm", e.ppm);
    else
        std::snprintf(ppm, sizeof ppm, "no ppm of 0 MHz");
    char head[256];
    std::snprintf(head, sizeof head, "Asked %s MHz, registers give %s MHz: %+.1f Hz (%s). ",
                  frequency_to_the_hz(o.requested_mhz).c_str(),
                  frequency_to_the_hz(o.achieved_mhz).c_str(), e.hz, ppm);
    std::string line = head;
    line += beyond_width("M", o.solved.M, chip::kMBits);
    line += beyond_width("A", o.solved.A, chip::kABits);
    line += beyond_width("K", o.solved.K, chip::kKBits);
    std::vector<RuleChange> changes = rule_changes(held_in_register(o.solved.M, chip::kMBits),
                                                   held_in_register(o.solved.A, chip::kABits), o.M, o.A);
    const uint32_t K = held_in_register(o.solved.K, chip::kKBits);
    if (o.has_fractional_part && K != o.K)
        changes.push_back({"K", K, o.K});
    for (const RuleChange& c : changes)
        line += change_text(c);
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line;
}

std::string nearest_channel_text(const NearestChannelHint& h)
{
    char text[512];
    const std::string from = frequency_to_the_hz(h.from_target_mhz);
    if (from == "0" || from == "-0")
        std::snprintf(text, sizeof text, "nearest channel %.6f MHz, %+.3f Hz", h.nearest_mhz, h.from_target_mhz * 1e6);
    else
        std::snprintf(text, sizeof text, "nearest channel %.6f MHz, %s%s MHz", h.nearest_mhz,
                      h.from_target_mhz > 0.0 ? "+" : "", from.c_str());
    std::string line = text;
    if (h.arrow == ArrowStep::Up)
        line += ": arrow up";
    else if (h.arrow == ArrowStep::Down)
        line += ": arrow down";
    return line;
}
