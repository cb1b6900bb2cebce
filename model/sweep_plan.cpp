#include "model/sweep_plan.h"

#include "model/calculation.h"
#include "model/number_text.h"
#include "model/quoted_input.h"

#include <cmath>

namespace {

std::string_view trimmed(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::optional<std::string> outside(double mhz, const FrequencyField& field)
{
    if (within_field(mhz, field))
        return std::nullopt;
    return outside_field_text(field);
}

SweepFrequencies refused(SweepInput input, std::size_t line, std::string_view text, std::string why)
{
    SweepFrequencies f;
    f.refusal = SweepRefusal{input, line, shown_input(trimmed(text)), std::move(why)};
    return f;
}

// A frequency read from an input, within the field.
std::optional<SweepRefusal> read_frequency(SweepInput input, std::size_t line, std::string_view text,
                                           const FrequencyField& field, double* mhz)
{
    std::optional<std::string> why = read_frequency_mhz(trimmed(text), mhz);
    if (!why)
        why = outside(*mhz, field);
    if (why)
        return SweepRefusal{input, line, shown_input(trimmed(text)), *why};
    return std::nullopt;
}

// start + i x step, taken to the nearest nanohertz when that is far below the
// step, so that 4000 + 3 x 0.1 is the 4000.3 that would be typed.
double band_point(double start, double step, std::size_t i)
{
    const double raw = start + static_cast<double>(i) * step;
    const double typed = std::round(raw * 1e9) / 1e9;
    return std::abs(typed - raw) <= std::abs(step) * 1e-6 ? typed : raw;
}

// The first cell of a CSV line, without the quotes a CSV writer may put round it.
std::string_view first_cell(std::string_view line)
{
    std::string_view cell = trimmed(line.substr(0, line.find(',')));
    if (cell.size() >= 2 && cell.front() == '"' && cell.back() == '"')
        cell = trimmed(cell.substr(1, cell.size() - 2));
    return cell;
}

bool holds_digit(std::string_view text)
{
    for (char c : text)
        if (c >= '0' && c <= '9')
            return true;
    return false;
}

}  // namespace

SweepFrequencies band_frequencies(std::string_view start_text, std::string_view stop_text, std::string_view step_text,
                                  const FrequencyField& field)
{
    double start = 0.0, stop = 0.0, step = 0.0;
    if (auto r = read_frequency(SweepInput::Start, 0, start_text, field, &start))
        return {{}, r};
    if (auto r = read_frequency(SweepInput::Stop, 0, stop_text, field, &stop))
        return {{}, r};
    if (auto why = read_frequency_mhz(trimmed(step_text), &step))
        return refused(SweepInput::Step, 0, step_text, *why);
    if (step == 0.0)
        return refused(SweepInput::Step, 0, step_text, "a step of 0 never reaches the stop frequency");
    if ((stop - start) * step < 0.0)
        return refused(SweepInput::Step, 0, step_text, "points away from the stop frequency " + number_text(stop));

    // Steps to the stop, a stop within rounding of the last one counting as reached.
    const double steps = std::abs(stop - start) / std::abs(step);
    const double points = std::floor(steps * (1.0 + 1e-12) + 1e-9) + 1.0;
    if (!(points <= static_cast<double>(kMaxSweepPoints)))
        return refused(SweepInput::Step, 0, step_text,
                       "gives " + (points < 1e15 ? number_text(points) : std::string("so many")) +
                           " points, more than the " + std::to_string(kMaxSweepPoints) + " a sweep may have");
    const auto count = static_cast<std::size_t>(points);
    SweepFrequencies f;
    f.mhz.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        f.mhz.push_back(band_point(start, step, i));
    return f;
}

std::optional<SweepRefusal> list_too_large(std::string_view text)
{
    if (text.size() > kListFileLimit)
        return SweepRefusal{SweepInput::List, 0, "",
                            "it holds " + std::to_string(text.size()) + " bytes, more than the " +
                                std::to_string(kListFileLimit >> 20) + " MiB a list may have"};
    std::size_t line = 0;
    for (std::size_t start = 0; start < text.size();) {
        ++line;
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        if (end - start > kListLineLimit)
            return SweepRefusal{SweepInput::List, line, shown_input(text.substr(start, end - start)),
                                "the line holds " + std::to_string(end - start) + " bytes, more than the " +
                                    std::to_string(kListLineLimit) + " a list line may have"};
        start = end + 1;
    }
    return std::nullopt;
}

SweepFrequencies list_frequencies(std::string_view text, const FrequencyField& field)
{
    if (std::optional<SweepRefusal> r = list_too_large(text))
        return {{}, r};
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        text.remove_prefix(kByteOrderMark.size());
    SweepFrequencies f;
    bool first = true;
    std::size_t line = 0;
    while (!text.empty()) {
        ++line;
        const std::size_t end = text.find('\n');
        const std::string_view whole = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        const std::string_view content = trimmed(whole);
        if (content.empty() || content.front() == '#')
            continue;
        const std::string_view cell = first_cell(content);
        const bool header = first && !holds_digit(cell) && !cell.empty();
        first = false;
        if (header)
            continue;
        if (f.mhz.size() == kMaxSweepPoints)
            return refused(SweepInput::List, line, cell,
                           "more than the " + std::to_string(kMaxSweepPoints) + " points a sweep may have");
        double mhz = 0.0;
        if (auto r = read_frequency(SweepInput::List, line, cell, field, &mhz))
            return {{}, r};
        f.mhz.push_back(mhz);
    }
    if (f.mhz.empty())
        return refused(SweepInput::List, 0, "", "no frequency in it");
    return f;
}

bool same_sweep_start(const RegisterSet& a, const RegisterSet& b)
{
    return a.N_flag == b.N_flag && a.ref_freq == b.ref_freq && a.R_reg == b.R_reg &&
           a.prescaler_en == b.prescaler_en && a.MOD_SEL == b.MOD_SEL && a.MASH == b.MASH && a.RAND_EN == b.RAND_EN &&
           a.LNM == b.LNM && a.M_reg == b.M_reg && a.A_reg == b.A_reg && a.K_reg == b.K_reg;
}

SweepPlan plan_sweep(const RegisterSet& settings, const std::vector<double>& frequencies_mhz, Rounding rounding)
{
    SweepPlan plan;
    plan.settings = settings;
    // The last Fin and Fc that a typed target starts from.
    recompute(plan.settings);
    plan.points.reserve(frequencies_mhz.size());
    // The same counters serve every point: enumerated once.
    std::optional<ReachableCounters> reachable;
    if (rounding == Rounding::Nearest)
        reachable = reachable_counters(plan.settings);
    for (double mhz : frequencies_mhz) {
        RegisterSet r = plan.settings;
        if (reachable)
            solve_nearest_channel(r, mhz, *reachable);
        else
            solve_typed_target(r, mhz);
        SweepPoint p;
        p.requested_mhz = mhz;
        p.achieved_mhz = r.new_pll_freq;
        p.error_hz = frequency_error(mhz, r.new_pll_freq).hz;
        p.R = r.R_reg;
        p.M = r.M_reg;
        p.A = r.A_reg;
        p.K = r.K_reg;
        plan.points.push_back(p);
    }
    return plan;
}

RegisterSet settings_with(const SweepPlan& plan, const SweepPoint& point)
{
    RegisterSet r = plan.settings;
    r.R_reg = point.R;
    r.M_reg = point.M;
    r.A_reg = point.A;
    r.K_reg = point.K;
    return r;
}

RegisterSet settings_at(const SweepPlan& plan, const SweepPoint& point)
{
    RegisterSet r = settings_with(plan, point);
    recompute(r);
    return r;
}
