#pragma once
// The settings of every command that computes, as the panel's controls would
// hold them: the panel's first-start values from its UI resource, then a saved
// panel state if one is named, then the options given.

#include "wire/register_json.h"
#include "model/register_set.h"

#include <string>

namespace CLI {
class App;
class Option;
}  // namespace CLI

// An option's text as typed, and whether it was given at all.
struct TextOption {
    std::string text;
    CLI::Option* option = nullptr;
    bool given() const;
};

// A target frequency, typed after the command ("solve 4321") or as --freq: the
// same either way.
struct TargetOption {
    TextOption positional, freq;
    bool given() const { return positional.given() || freq.given(); }
    // The name messages give it, and its text as typed.
    const char* name() const { return positional.given() ? "FREQ" : "--freq"; }
    const std::string& text() const { return positional.given() ? positional.text : freq.text; }
};

struct SettingOptions {
    TextOption part, ref, r, prescaler, mash, lnm, enh, state;
    TextOption m, a, k;  // only for the commands that take the registers
    bool dither = false;
    CLI::Option* dither_option = nullptr;
};

// Adds the settings' options to a command; with_registers adds --m, --a and --k.
void add_setting_options(CLI::App& command, SettingOptions& options, bool with_registers);

// Adds FREQ and --freq; what is described is said of both. A target given
// excludes the registers --m, --a and --k of the settings given.
void add_target_options(CLI::App& command, TargetOption& target, const std::string& description,
                        const SettingOptions* instead_of_registers = nullptr);

// The register set as the panel's fields and switches would hold the settings.
// ZR3100 has no fractional term: K and dither count as 0 whatever a state held.
RegisterSet register_set_of(const SettingOptions& options);

// A target as typed: a number within "Out Freq (MHz)", else refused.
double typed_target(const std::string& option, const std::string& text);

// The settings in the options' own words, for reports.
SettingWords words_of(const RegisterSet& r);
