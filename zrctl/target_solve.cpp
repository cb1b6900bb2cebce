#include "zrctl/target_solve.h"

#include "zrctl/failure.h"
#include "zrctl/panel_resource.h"
#include "zrctl/settings.h"

#include "model/prescaler_setting.h"
#include "resource/New_Panel.h"

#include <CLI/CLI.hpp>

void add_round_option(CLI::App& command, std::string& round)
{
    command
        .add_option("--round", round,
                    "how a target between two channels is solved: down, by truncation as the panel does (the "
                    "default), or nearest, to the channel closest to it (of two equally close, the lower)")
        ->transform(CLI::IsMember({kRoundDown, kRoundNearest}, CLI::ignore_case))
        ->option_text(std::string(kRoundDown) + "|" + kRoundNearest);
}

Rounding rounding_of(const std::string& round)
{
    return round == kRoundNearest ? Rounding::Nearest : Rounding::Down;
}

FrequencyField out_freq_field()
{
    const ControlDef& c = panel_control(PANEL_PLL_FREQ);
    return {c.minimum, c.maximum, c.label};
}

std::string reach_words(const RegisterSet& settings)
{
    const SettingWords w = words_of(settings);
    return settings_words(settings, w.prescaler, w.mash);
}

std::optional<TargetRefusal> target_refusal(const RegisterSet& settings, double target_mhz)
{
    RegisterSet r = settings;
    recompute(r);  // the range rules' view of the switches, as a solve would start
    return refuse_target(target_mhz, out_freq_field(), reach_of(r), reach_words(r));
}

std::optional<std::string> first_unreachable_point(const RegisterSet& settings, const std::vector<double>& points_mhz)
{
    RegisterSet r = settings;
    recompute(r);
    const Reach reach = reach_of(r);
    const FrequencyField field = out_freq_field();
    const std::string words = reach_words(r);
    for (std::size_t i = 0; i < points_mhz.size(); ++i)
        if (const std::optional<TargetRefusal> refusal = refuse_target(points_mhz[i], field, reach, words))
            return "point " + std::to_string(i + 1) + ": " + refusal->text;
    return std::nullopt;
}

SolvedRegisters solve_for_target(RegisterSet& r, double target_mhz, Rounding rounding)
{
    if (const std::optional<TargetRefusal> refusal = target_refusal(r, target_mhz))
        throw Failure(ExitStatus::InvalidInput, refusal->text);
    recompute(r);  // the panel's last Fin and Fc, before the target is typed
    return solve_rounded(r, target_mhz, rounding);
}
