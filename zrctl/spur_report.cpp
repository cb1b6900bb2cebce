#include "zrctl/spur_report.h"

#include "zrctl/failure.h"
#include "zrctl/numbers.h"

#include "model/solve_outcome.h"

#include <CLI/CLI.hpp>

#include <cmath>

namespace {

Json offset_json(const std::optional<double>& hz)
{
    return hz ? Json(*hz) : Json(nullptr);
}

}  // namespace

void add_loop_bandwidth_option(CLI::App& command, TextOption& loop_bw)
{
    loop_bw.option = command
                         .add_option("--loop-bw", loop_bw.text,
                                     "the loop bandwidth in kHz: each spur at or below it from the carrier is "
                                     "passed by the loop, and is marked as a warning")
                         ->type_name("KHZ");
}

std::optional<double> loop_bandwidth_hz(const TextOption& loop_bw)
{
    if (!loop_bw.given())
        return std::nullopt;
    const double khz = number_of("--loop-bw", loop_bw.text);
    if (!(khz > 0.0))
        throw Failure(ExitStatus::InvalidInput, "--loop-bw " + loop_bw.text + ": a loop bandwidth is more than 0 kHz");
    return khz * 1e3;
}

Json spurs_json(const SpurOffsets& s, std::optional<double> loop_bandwidth_hz)
{
    Json j;
    j["fraction"] = {{"numerator", s.numerator}, {"denominator", s.denominator}};
    j["modulator_order"] = s.modulator_order != 0 ? Json(s.modulator_order) : Json(nullptr);
    j["integer_boundary_hz"] = offset_json(s.integer_boundary_hz);
    j["primary_fractional_hz"] = offset_json(s.primary_fractional_hz);
    j["sub_fractional_hz"] = offset_json(s.sub_fractional_hz);
    j["sub_fractional_k"] = s.sub_fractional_k;
    j["spread_by_dither"] = s.spread_by_dither;
    j["loop_bandwidth_hz"] = offset_json(loop_bandwidth_hz);
    Json inside = Json::array();
    if (loop_bandwidth_hz) {
        const SpursInLoop in = spurs_inside_loop(s, *loop_bandwidth_hz);
        if (in.integer_boundary)
            inside.push_back("integer_boundary");
        if (in.primary_fractional)
            inside.push_back("primary_fractional");
        if (in.sub_fractional)
            inside.push_back("sub_fractional");
    }
    j["inside_loop_bandwidth"] = inside;
    return j;
}

void print_spurs(std::ostream& out, const SpurOffsets& s, std::optional<double> loop_bandwidth_hz)
{
    std::optional<SpursInLoop> inside;
    if (loop_bandwidth_hz)
        inside = spurs_inside_loop(s, *loop_bandwidth_hz);
    out << "spurs      " << spurs_text(s, inside ? &*inside : nullptr) << '\n';
    if (loop_bandwidth_hz)
        for (const std::string& w : spur_warnings(s, *loop_bandwidth_hz))
            out << "warning: " << w << '\n';
}
