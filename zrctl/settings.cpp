#include "zrctl/settings.h"

#include "zrctl/failure.h"
#include "zrctl/numbers.h"
#include "zrctl/panel_resource.h"

#include "model/frequency_field.h"
#include "model/number_text.h"
#include "model/quoted_input.h"
#include "resource/built_in_resource.h"
#include "resource/New_Panel.h"
#include "resource/register_controls.h"
#include "ui_files/panel_state.h"
#include "resource/setup_file.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>

namespace {

constexpr const char* kBypass = kPrescalerBypassWord;
constexpr const char* kJumperIn = kJumperInWord;
constexpr const char* kJumperOut = kJumperOutWord;

std::string part_word(int part)
{
    return ::part_word(part_name(part));
}

// A switch's text at a position, and the position of a text: Mod Select's
// "10/11" and "5/6", MASH2SEL's "1-1" and "1-1-1" are the options' words too.
std::string switch_text(int control, int value)
{
    const ControlDef& c = panel_control(control);
    return value == c.on_value ? c.on_text : c.off_text;
}

int switch_value(int control, const std::string& text)
{
    const ControlDef& c = panel_control(control);
    return text == c.on_text ? c.on_value : c.off_value;
}

std::string range_text(const ControlDef& c)
{
    return number_text(c.minimum) + " to " + number_text(c.maximum);
}

// "main counter M, 0 to 511 (first start: 7)"
std::string field_help(const char* what, int control)
{
    const ControlDef& c = panel_control(control);
    return std::string(what) + ", " + range_text(c) + " (first start: " + number_text(c.initial) + ")";
}

std::string switch_help(const char* what, const std::string& first_start)
{
    return std::string(what) + " (first start: " + first_start + ")";
}

void add_text(CLI::App& command, const char* name, TextOption& o, const std::string& help, const char* type)
{
    o.option = command.add_option(name, o.text, help)->type_name(type);
}

// One of a switch's words, in any case, taken as written here; --help and the completion show them as "a|b".
void add_choice(CLI::App& command, const char* name, TextOption& o, const std::string& help,
                const std::vector<std::string>& words)
{
    std::string shown, listed;
    for (std::size_t i = 0; i < words.size(); ++i) {
        shown += (i == 0 ? "" : "|") + words[i];
        listed += (i == 0 ? "" : i + 1 == words.size() ? " or " : ", ") + words[i];
    }
    const CLI::Validator one_of(
        [words, listed](std::string& text) -> std::string {
            for (const std::string& w : words)
                if (same_letters(text, w)) {
                    text = w;
                    return {};
                }
            return shown_input(text) + " is none of " + listed;
        },
        "");
    o.option = command.add_option(name, o.text, help)->transform(one_of)->option_text(shown);
}

// A value of a field, checked against the field's range.
double field_value(const char* option, const TextOption& o, int control, bool frequency = false)
{
    const double value = frequency ? frequency_of(option, o.text) : number_of(option, o.text);
    const ControlDef& c = panel_control(control);
    if (value < c.minimum || value > c.maximum)
        throw Failure(ExitStatus::InvalidInput, std::string(option) + " " + o.text + ": outside " + range_text(c) +
                                                    ", the range of the field \"" + c.label + "\"");
    return value;
}

// A register's value: a whole number in its field's range.
uint32_t register_value(const char* option, const TextOption& o, int control)
{
    const uint32_t value = whole_number_of(option, o.text);
    field_value(option, o, control);
    return value;
}

void take_first_start_values(RegisterSet& r)
{
    r.N_flag = ZR3100;
    for (const RegisterControl& c : kRegisterControls)
        set_from_control(r, c, panel_control(c.control).initial);
}

// A saved panel state, read as the panel recalls it, or a setup. The part is
// not a control value: a setup names it, and a panel state's part text shows the
// part that was selected when it was saved.
void take_saved_state(RegisterSet& r, const std::string& path)
{
    SettingsFile file;
    std::string problem;
    switch (read_settings_file(path, panel_controls(), &file, &problem)) {
    case StateFileVerdict::Missing:
    case StateFileVerdict::Unreadable:
        throw Failure(ExitStatus::InvalidInput, "--state " + path + ": cannot read it: " + problem);
    case StateFileVerdict::DoesNotFit:
        throw Failure(ExitStatus::InvalidInput, "--state " + path + ": the panel would not use it: " + problem);
    case StateFileVerdict::Fits: break;
    }
    // The reader has checked each value against its control: a register's is a
    // whole number in its field's range, a switch's one of its two positions.
    for (const StateValue& v : file.values)
        if (const RegisterControl* c = register_control(v.control->id); c && c->setting)
            set_from_control(r, *c, v.number);
    if (file.part)
        r.N_flag = *file.part;
}

// The options that set a field, in the order they are checked, each with its control.
struct FieldOption {
    const char* name;
    TextOption SettingOptions::*option;
    int control;
    bool frequency = false;  // in MHz, or with its unit
};

constexpr FieldOption kFieldOptions[] = {
    {"--ref", &SettingOptions::ref, PANEL_REF_FREQ, true}, {"--r", &SettingOptions::r, PANEL_R_REG},
    {"--m", &SettingOptions::m, PANEL_M_REG},        {"--a", &SettingOptions::a, PANEL_A_REG},
    {"--k", &SettingOptions::k, PANEL_K_REG},        {"--enh", &SettingOptions::enh, PANEL_E_REG},
};

void take_options(RegisterSet& r, const SettingOptions& o)
{
    if (o.part.given())
        r.N_flag = o.part.text == part_word(ZR3500) ? ZR3500 : ZR3100;
    for (const FieldOption& f : kFieldOptions) {
        const TextOption& text = o.*f.option;
        if (!text.given())
            continue;
        const RegisterControl& c = *register_control(f.control);
        const double value = c.count ? register_value(f.name, text, f.control)
                                     : field_value(f.name, text, f.control, f.frequency);
        set_from_control(r, c, value);
    }
    if (o.prescaler.given()) {
        r.prescaler_en = r.PS_mode = o.prescaler.text == kBypass ? 1 : 0;
        if (o.prescaler.text != kBypass)
            r.MOD_SEL = switch_value(PANEL_MOD_SEL, o.prescaler.text);
    }
    if (o.mash.given())
        r.MASH = switch_value(PANEL_MASH, o.mash.text);
    if (o.lnm.given())
        r.LNM = o.lnm.text == kJumperIn ? 1 : 0;
    if (o.dither_option && o.dither_option->count() > 0)
        r.RAND_EN = o.dither ? 1 : 0;
}

}  // namespace

bool TextOption::given() const
{
    return option && option->count() > 0;
}

void add_setting_options(CLI::App& command, SettingOptions& o, bool with_registers)
{
    RegisterSet first;
    take_first_start_values(first);
    const SettingWords words = words_of(first);
    add_choice(command, "--part", o.part, switch_help("the part", words.part),
               {part_word(ZR3100), part_word(ZR3500)});
    add_text(command, "--ref", o.ref, field_help("reference frequency Fr in MHz, or with its unit", PANEL_REF_FREQ), "FREQ");
    add_text(command, "--r", o.r, field_help("reference counter R", PANEL_R_REG), "N");
    if (with_registers) {
        add_text(command, "--m", o.m, field_help("main counter M", PANEL_M_REG), "N");
        add_text(command, "--a", o.a, field_help("swallow counter A", PANEL_A_REG), "N");
        add_text(command, "--k", o.k, field_help("fractional numerator K, ZR3500 only", PANEL_K_REG), "N");
    }
    add_choice(command, "--prescaler", o.prescaler,
               switch_help("the prescaler: 10/11, 5/6, or bypass", words.prescaler),
               {switch_text(PANEL_MOD_SEL, 0), switch_text(PANEL_MOD_SEL, 1), kBypass});
    add_choice(command, "--mash", o.mash, switch_help("MASH order", words.mash),
               {switch_text(PANEL_MASH, 1), switch_text(PANEL_MASH, 0)});
    add_choice(command, "--lnm", o.lnm, switch_help("LNM jumper", words.lnm), {kJumperIn, kJumperOut});
    o.dither_option = command.add_flag("--dither,!--no-dither", o.dither,
                                       switch_help("dither (RAND_EN) on or off, ZR3500 only",
                                                   first.RAND_EN != 0 ? "on" : "off"));
    add_text(command, "--enh", o.enh, field_help("enhancement register E", PANEL_E_REG), "VALUE");
    add_text(command, "--state", o.state,
             "take the settings from a saved panel state (panel.sts) or a setup first; the options above override it",
             "FILE");
}

void add_target_options(CLI::App& command, TargetOption& t, const std::string& description,
                        const SettingOptions* instead_of_registers)
{
    t.positional.option = command.add_option("FREQ", t.positional.text, description)->type_name("FREQ");
    t.freq.option = command.add_option("--freq", t.freq.text, "the same as FREQ")->type_name("FREQ");
    t.freq.option->excludes(t.positional.option);
    if (instead_of_registers == nullptr)
        return;
    const SettingOptions& s = *instead_of_registers;
    for (CLI::Option* registers : {s.m.option, s.a.option, s.k.option}) {
        t.positional.option->excludes(registers);
        t.freq.option->excludes(registers);
    }
}

RegisterSet register_set_of(const SettingOptions& o)
{
    RegisterSet r;
    take_first_start_values(r);
    if (o.state.given())
        take_saved_state(r, o.state.text);
    take_options(r, o);
    if (r.N_flag == ZR3100) {
        if (o.k.given() && r.K_reg != 0)
            throw Failure(ExitStatus::InvalidInput, "--k " + o.k.text + ": " + part_name(ZR3100) +
                                                        " has no K (--part " + part_word(ZR3500) + " has)");
        if (o.dither_option && o.dither_option->count() > 0 && o.dither)
            throw Failure(ExitStatus::InvalidInput, "--dither: " + part_name(ZR3100) + " has no dither (--part " +
                                                        part_word(ZR3500) + " has)");
        r.K_reg = 0;
        r.RAND_EN = 0;
    }
    return r;
}

double typed_target(const std::string& option, const std::string& text)
{
    const double typed = frequency_of(option, text);
    const ControlDef& c = panel_control(PANEL_PLL_FREQ);
    // A target beyond the field is refused, not taken as its nearest end: the
    // registers would answer another question than the one asked.
    const FrequencyField field{c.minimum, c.maximum, c.label};
    if (!within_field(typed, field))
        throw Failure(ExitStatus::InvalidInput, number_text(typed) + " MHz is " + outside_field_text(field));
    return typed;
}

SettingWords words_of(const RegisterSet& r)
{
    return setting_words(r, part_name(r.N_flag), switch_text(PANEL_MOD_SEL, r.MOD_SEL), switch_text(PANEL_MASH, r.MASH));
}
