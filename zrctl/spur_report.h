#pragma once
// The spurs of a setting as the commands report them: their offsets from the
// carrier, as text and as the "spurs" object of a JSON document, and --loop-bw,
// which marks those inside the loop bandwidth as warnings.

#include "zrctl/settings.h"

#include "wire/register_json.h"
#include "model/spurs.h"

#include <optional>
#include <ostream>

void add_loop_bandwidth_option(CLI::App& command, TextOption& loop_bw);
// In Hz; none when not given. A value that is no positive number is refused.
std::optional<double> loop_bandwidth_hz(const TextOption& loop_bw);

Json spurs_json(const SpurOffsets& s, std::optional<double> loop_bandwidth_hz);
// "spurs      integer boundary ..." and a "warning: ..." line for each spur inside the loop bandwidth.
void print_spurs(std::ostream& out, const SpurOffsets& s, std::optional<double> loop_bandwidth_hz);
