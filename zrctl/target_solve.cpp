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
    std::string words = "R " + std::to_string(settings.R_reg) + ", prescaler " +
                        (settings.prescaler_en != 0 ? std::string("bypassed") : w.prescaler);
    if (settings.N_flag == ZR3500)
        words += ", MASH " + w.mash;
    return words;
}

std::optional<TargetRefusal> target_refusal(const RegisterSet& settings, double target_mhz)
{
    RegisterSet r = settings;
    recompute(r);  // the range rules' view of the switches, as a solve would start
    return refuse_target(target_mhz, out_freq_field(), reach_of(r), reach_words(r));
}

SolvedRegisters solve_for_target(RegisterSet& r, double target_mhz, Rounding rounding)
{
    if (const std::optional<TargetRefusal> refusal = target_refusal(r, target_mhz))
        throw Failure(ExitStatus::InvalidInput, refusal->text);
    recompute(r);  // the panel's last Fin and Fc, before the target is typed
    return solve_rounded(r, target_mhz, rounding);
}
