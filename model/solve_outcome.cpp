#include "model/solve_outcome.h"

#include "model/chip_limits.h"
#include "model/frequency_field.h"

#include <cmath>
#include <cstdio>
#include <limits>

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
    // A target below what the counters reach takes the solve below zero; the
    // value it wrapped to is no register's.
    if (solved > static_cast<uint32_t>(std::numeric_limits<int32_t>::max())) {
        std::snprintf(text, sizeof text, "The solver took %s below 0: the register holds %u. ", name, held);
        return text;
    }
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
    if (!o.unreachable.empty())
        return "Cannot reach the target: " + o.unreachable + ". The registers give " +
               frequency_to_the_hz(o.achieved_mhz) + " MHz.";
    char head[256];
    std::snprintf(head, sizeof head, "Asked %s MHz, registers give %s MHz: %+.1f Hz (%s)",
                  frequency_to_the_hz(o.requested_mhz).c_str(),
                  frequency_to_the_hz(o.achieved_mhz).c_str(), e.hz, ppm);
    std::string line = head;
    if (o.nearest)
        line += "; " + nearest_channel_text(*o.nearest);
    line += ". ";
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

std::string offset_text(double hz)
{
    char text[64];
    if (hz >= 1e6)
        std::snprintf(text, sizeof text, "%.6f MHz", hz / 1e6);
    else if (hz >= 1e3)
        std::snprintf(text, sizeof text, "%.3f kHz", hz / 1e3);
    else
        std::snprintf(text, sizeof text, "%.3f Hz", hz);
    return text;
}

namespace {

struct NamedSpur {
    const char* name;
    const std::optional<double>& hz;
    bool inside;
};

std::vector<NamedSpur> named_spurs(const SpurOffsets& s, const SpursInLoop& in)
{
    return {{"integer boundary", s.integer_boundary_hz, in.integer_boundary},
            {"primary fractional", s.primary_fractional_hz, in.primary_fractional},
            {"sub-fractional", s.sub_fractional_hz, in.sub_fractional}};
}

}  // namespace

std::string spurs_text(const SpurOffsets& s, const SpursInLoop* inside)
{
    if (!s.integer_boundary_hz)
        return "none, N is a whole number";
    const SpursInLoop none;
    std::string text;
    for (const NamedSpur& spur : named_spurs(s, inside ? *inside : none)) {
        if (!spur.hz)
            continue;
        text += (text.empty() ? "" : ", ") + std::string(spur.name) + " " + offset_text(*spur.hz);
        if (spur.inside)
            text += " (inside the loop bandwidth)";
    }
    if (s.spread_by_dither)
        text += "; the fractional spurs are spread by dither";
    return text;
}

std::vector<std::string> spur_warnings(const SpurOffsets& s, double loop_bandwidth_hz)
{
    std::vector<std::string> warnings;
    for (const NamedSpur& spur : named_spurs(s, spurs_inside_loop(s, loop_bandwidth_hz)))
        if (spur.inside)
            warnings.push_back("the " + std::string(spur.name) + " spur at " + offset_text(*spur.hz) +
                               " is inside the loop bandwidth of " + offset_text(loop_bandwidth_hz));
    return warnings;
}
