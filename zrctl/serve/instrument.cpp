#include "zrctl/serve/instrument.h"

#include "zrctl/board_open.h"
#include "zrctl/panel_resource.h"
#include "zrctl/programming_burst.h"
#include "zrctl/settings.h"
#include "zrctl/target_solve.h"

#include "scpi/scpi_values.h"
#include "wire/board_lines.h"
#include "wire/burst_decoder.h"
#include "wire/word_fields.h"
#include "model/calculation.h"
#include "model/spurs.h"
#include "model/version.h"
#include "resource/New_Panel.h"
#include "resource/product.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>

using scpi::Call;
using scpi::Error;
using scpi::Parameter;
using scpi::Refusal;
using scpi::Reply;

namespace {

// How often the loop looks in when no list runs on its own, and how long one
// tick may write points due at once (a list at dwell 0) before the server
// reads its client again.
constexpr std::chrono::milliseconds kIdleTick{1000};
constexpr auto kWriteSlice = std::chrono::milliseconds(2);

constexpr std::string_view kSteps[] = {"AUTO", "ONCE"};

// A frequency in MHz from a parameter in Hz, or with its unit, within the range
// of a panel field that holds MHz.
double megahertz(const Parameter& p, int field_control)
{
    const ControlDef& field = panel_control(field_control);
    return scpi::numeric_value(p, {field.minimum * 1e6, field.maximum * 1e6, scpi::kFrequencyUnits}) / 1e6;
}

std::string hz_response(double mhz)
{
    return scpi::number_response(mhz * 1e6);
}

std::string boolean_response(bool on)
{
    return on ? "1" : "0";
}

std::string hash_hex(uint32_t value, int digits)
{
    char text[16];
    std::snprintf(text, sizeof text, "#H%0*X", digits, value);
    return text;
}

// What the queue says of a write the board did not take whole: "FT_IO_ERROR
// (4), 0 of 98 bytes written", "short write, 40 of 98 bytes written".
std::string write_brief(const std::string& status, std::size_t written, std::size_t length)
{
    return (status.empty() ? std::string("short write") : status) + ", " + std::to_string(written) + " of " +
           std::to_string(length) + " bytes written";
}

// What the chip latched from a burst, on one line, by the chip-side decoder.
std::string decoded_text(const std::vector<uint8_t>& burst)
{
    const ChipReception r = decode_burst(burst);
    std::string text;
    for (const LatchedWord& latch : r.latches) {
        const WordKind kind = word_kind(latch);
        text += std::string(word_kind_name(kind)) + " word " + word_hex(kind, latch.word) + ": " +
                word_fields_text(kind, latch.word) + "; ";
    }
    if (r.latches.empty())
        text += "no word latched; ";
    text += "option lines";
    const char* separator = " ";
    for (const BoardLine& line : kBoardLines) {
        if (!(line.mask & kOptionLines))
            continue;
        text += separator + std::string(line.name) + ((r.options & line.mask) ? " 1" : " 0");
        separator = ", ";
    }
    return text + "; " + (r.fault.empty() ? "no setup violation" : "setup violation: " + r.fault);
}

// A field of *IDN? holds no separator of the response.
std::string idn_field(std::string text)
{
    for (char& c : text)
        if (c == ',' || c == ';' || c < 0x21 || c > 0x7E)
            c = '_';
    return text.empty() ? "0" : text;
}

struct RegisterCommand {
    const char* pattern;
    int field;
    uint32_t RegisterSet::*reg;
};
constexpr RegisterCommand kRegisters[] = {
    {"[SOURce:]REGister:R", PANEL_R_REG, &RegisterSet::R_reg},
    {"[SOURce:]REGister:M", PANEL_M_REG, &RegisterSet::M_reg},
    {"[SOURce:]REGister:A", PANEL_A_REG, &RegisterSet::A_reg},
    {"[SOURce:]REGister:K", PANEL_K_REG, &RegisterSet::K_reg},
    {"[SOURce:]REGister:E", PANEL_E_REG, &RegisterSet::E_reg},
};

}  // namespace

Instrument::Instrument(scpi::Engine& engine, BoardLink board, const RegisterSet& settings,
                       std::function<void(const std::string&)> fault_log)
    : engine_(engine), board_(std::move(board)), fault_log_(std::move(fault_log)), settings_(settings)
{
    writer_ = [this](const uint8_t* bytes, std::size_t length) { return write_burst(bytes, length); };
    recompute(settings_);
    add_common_commands();
    add_frequency_commands();
    add_setting_commands();
    add_register_commands();
    add_list_commands();
    add_diagnostic_commands();
    engine_.set_operation_pending([this] { return list_.running(); });
}

void Instrument::add_common_commands()
{
    scpi::CommandTree& t = engine_.commands();
    t.add("*IDN", {.query = [this](const Call&) {
                       return std::string(kMakerName) + "," + kProductName + "," + idn_field(board_.serial_number) +
                              "," + ZR_VERSION;
                   }});
    t.add("*RST", {.set = [this](const Call&) { reset(); }, .set_parameters = {0, 0}});
    t.add("*TRG", {.set =
                       [this](const Call&) {
                           if (!list_.stepped_by_trigger())
                               throw Refusal(Error::TriggerIgnored, list_.running()
                                                                        ? "the list steps on its own (LIST:STEP AUTO)"
                                                                        : "no hop list runs (INITiate)");
                           write_hop();
                       },
                   .set_parameters = {0, 0}});
}

void Instrument::add_frequency_commands()
{
    scpi::CommandTree& t = engine_.commands();
    t.add("[SOURce:]FREQuency[:CW]", {.set =
                                          [this](const Call& c) {
                                              const double mhz = megahertz(c.parameters[0], PANEL_PLL_FREQ);
                                              refuse_while_listing();
                                              if (const std::optional<TargetRefusal> r =
                                                      target_refusal(settings_, mhz))
                                                  throw Refusal(Error::DataOutOfRange, r->text);
                                              solve_for_target(settings_, mhz, rounding_);
                                              requested_mhz_ = mhz;
                                              send_press_burst(false);
                                          },
                                      .query = [this](const Call&) { return hz_response(settings_.new_pll_freq); }});
    // DOWN truncates as the panel does; NEARest solves to the nearest channel.
    t.add("[SOURce:]FREQuency:ROUNding",
          {.set =
               [this](const Call& c) {
                   const std::array<std::string_view, 2> rules = {"DOWN", "NEARest"};
                   rounding_ = scpi::choice_value(c.parameters[0], rules) == 1 ? Rounding::Nearest : Rounding::Down;
               },
           .query = [this](const Call&) { return std::string(rounding_ == Rounding::Nearest ? "NEAR" : "DOWN"); }});
    t.add("[SOURce:]FREQuency:REQuested",
          {.query = [this](const Call&) { return hz_response(requested_mhz_.value_or(settings_.new_pll_freq)); }});
    t.add("[SOURce:]FREQuency:ERRor", {.query = [this](const Call&) {
                                           if (!requested_mhz_)
                                               return scpi::number_response(0.0);
                                           return scpi::number_response(
                                               frequency_error(*requested_mhz_, settings_.new_pll_freq).hz);
                                       }});
}

void Instrument::add_setting_commands()
{
    scpi::CommandTree& t = engine_.commands();
    t.add("[SOURce:]PART", {.set =
                                [this](const Call& c) {
                                    const std::array<std::string_view, 2> parts = {part_name(ZR3100),
                                                                                   part_name(ZR3500)};
                                    const std::size_t part = scpi::choice_value(c.parameters[0], parts);
                                    change_settings([part](RegisterSet& r) {
                                        r.N_flag = part == 1 ? ZR3500 : ZR3100;
                                    });
                                },
                            .query = [this](const Call&) { return part_name(settings_.N_flag); }});
    t.add("[SOURce:]REFerence", {.set =
                                     [this](const Call& c) {
                                         const double mhz = megahertz(c.parameters[0], PANEL_REF_FREQ);
                                         change_settings([mhz](RegisterSet& r) { r.ref_freq = mhz; });
                                     },
                                 .query = [this](const Call&) { return hz_response(settings_.ref_freq); }});
    // 10 for "10/11", 5 for "5/6" (the modulus P), or BYPass.
    t.add("[SOURce:]PRESCaler",
          {.set =
               [this](const Call& c) {
                   const Parameter& p = c.parameters[0];
                   if (p.kind == scpi::DataKind::Character) {
                       if (!scpi::mnemonic_matches("BYPass", p.text))
                           throw Refusal(Error::IllegalParameterValue, p.text + " is not 10, 5 or BYPass");
                       change_settings([](RegisterSet& r) { r.prescaler_en = r.PS_mode = 1; });
                       return;
                   }
                   const uint32_t modulus = scpi::whole_value(p, 5, 10);
                   for (const int mod_sel : {0, 1})
                       if (static_cast<uint32_t>(modulus_of(mod_sel)) == modulus) {
                           change_settings([mod_sel](RegisterSet& r) {
                               r.prescaler_en = r.PS_mode = 0;
                               r.MOD_SEL = mod_sel;
                           });
                           return;
                       }
                   throw Refusal(Error::IllegalParameterValue, p.text + " is not 10, 5 or BYPass");
               },
           .query = [this](const Call&) {
               return settings_.prescaler_en != 0 ? std::string("BYP") : std::to_string(modulus_of(settings_.MOD_SEL));
           }});
    // The modulator's order: 2 for MASH "1-1", 3 for "1-1-1".
    t.add("[SOURce:]MASH", {.set =
                                [this](const Call& c) {
                                    const uint32_t order = scpi::whole_value(c.parameters[0], 2, 3);
                                    const int mash = modulator_order_of(1) == static_cast<int>(order) ? 1 : 0;
                                    change_settings([mash](RegisterSet& r) { r.MASH = mash; });
                                },
                            .query = [this](const Call&) {
                                return std::to_string(modulator_order_of(settings_.MASH));
                            }});
    t.add("[SOURce:]DITHer", {.set =
                                  [this](const Call& c) {
                                      const bool on = scpi::boolean_value(c.parameters[0]);
                                      change_settings([on](RegisterSet& r) {
                                          if (on && r.N_flag == ZR3100)
                                              throw Refusal(Error::SettingsConflict,
                                                            part_name(ZR3100) + " has no dither");
                                          r.RAND_EN = on ? 1 : 0;
                                      });
                                  },
                              .query = [this](const Call&) { return boolean_response(settings_.RAND_EN != 0); }});
    // ENH "Enable  (Low)": REGister:SEND writes the enhancement word.
    t.add("[SOURce:]ENHancement", {.set =
                                       [this](const Call& c) {
                                           enhancement_path_ = scpi::boolean_value(c.parameters[0]);
                                       },
                                   .query = [this](const Call&) { return boolean_response(enhancement_path_); }});
}

void Instrument::add_register_commands()
{
    scpi::CommandTree& t = engine_.commands();
    for (const RegisterCommand& reg : kRegisters) {
        t.add(reg.pattern, {.set =
                                [this, reg](const Call& c) {
                                    const ControlDef& field = panel_control(reg.field);
                                    const uint32_t value =
                                        scpi::whole_value(c.parameters[0], static_cast<uint32_t>(field.minimum),
                                                          static_cast<uint32_t>(field.maximum));
                                    change_settings([reg, value](RegisterSet& r) {
                                        if (reg.reg == &RegisterSet::K_reg && value != 0 && r.N_flag == ZR3100)
                                            throw Refusal(Error::SettingsConflict, part_name(ZR3100) + " has no K");
                                        r.*reg.reg = value;
                                    });
                                },
                            .query = [this, reg](const Call&) { return std::to_string(settings_.*reg.reg); }});
    }
    // What REGister:SEND writes from: the main, auxiliary (0: none) and
    // enhancement words, and the option byte of its burst.
    t.add("[SOURce:]REGister:WORDs", {.query = [this](const Call&) {
                                          const ProgrammingBurst counters = press_burst(settings_, false);
                                          const ProgrammingBurst enhancement = press_burst(settings_, true);
                                          const ProgrammingBurst& sent = enhancement_path_ ? enhancement : counters;
                                          return hash_hex(counters.word, 6) + "," + hash_hex(counters.aux_word, 6) +
                                                 "," + hash_hex(enhancement.word, 2) + "," +
                                                 hash_hex(sent.option_byte, 2);
                                      }});
    t.add("[SOURce:]REGister:SEND", {.set =
                                         [this](const Call&) {
                                             refuse_while_listing();
                                             send_press_burst(enhancement_path_);
                                         },
                                     .set_parameters = {0, 0}});
}

void Instrument::add_list_commands()
{
    scpi::CommandTree& t = engine_.commands();
    t.add("[SOURce:]LIST:FREQuency",
          {.set =
               [this](const Call& c) {
                   if (c.parameters.size() > kMaxSweepPoints)
                       throw Refusal(Error::DataOutOfRange,
                                     "more than " + std::to_string(kMaxSweepPoints) + " points");
                   std::vector<double> points;
                   points.reserve(c.parameters.size());
                   for (const Parameter& p : c.parameters)
                       points.push_back(megahertz(p, PANEL_PLL_FREQ));
                   refuse_while_listing();
                   list_.mhz = std::move(points);
               },
           .query =
               [this](const Call&) {
                   std::string text;
                   for (const double mhz : list_.mhz)
                       text += (text.empty() ? "" : ",") + hz_response(mhz);
                   return text;
               },
           .set_parameters = {1, scpi::Arity::kAny}});
    t.add("[SOURce:]LIST:DWELl", {.set =
                                      [this](const Call& c) {
                                          const double s = scpi::numeric_value(
                                              c.parameters[0], {0.0, kMaxDwellMs / 1000.0, scpi::kTimeUnits});
                                          refuse_while_listing();
                                          list_.dwell_ms = s * 1000.0;
                                      },
                                  .query = [this](const Call&) {
                                      return scpi::number_response(list_.dwell_ms / 1000.0);
                                  }});
    t.add("[SOURce:]LIST:COUNt", {.set =
                                      [this](const Call& c) {
                                          const uint32_t count = scpi::whole_value(c.parameters[0], 1, UINT32_MAX);
                                          refuse_while_listing();
                                          list_.count = count;
                                      },
                                  .query = [this](const Call&) { return std::to_string(list_.count); }});
    t.add("[SOURce:]LIST:STEP", {.set =
                                     [this](const Call& c) {
                                         const std::size_t step = scpi::choice_value(c.parameters[0], kSteps);
                                         refuse_while_listing();
                                         list_.step = step == 1 ? HopList::Step::Once : HopList::Step::Auto;
                                     },
                                 .query = [this](const Call&) {
                                     return std::string(kSteps[list_.step == HopList::Step::Once ? 1 : 0]);
                                 }});
    t.add("[SOURce:]LIST:POINts", {.query = [this](const Call&) { return std::to_string(list_.mhz.size()); }});
    t.add("INITiate[:IMMediate]", {.set =
                                       [this](const Call&) {
                                           if (list_.running())
                                               throw Refusal(Error::InitIgnored, "the hop list runs");
                                           if (list_.mhz.empty())
                                               throw Refusal(Error::SettingsConflict, "LIST:FREQuency holds no points");
                                           if (const std::optional<std::string> refusal =
                                                   first_unreachable_point(settings_, list_.mhz))
                                               throw Refusal(Error::DataOutOfRange, *refusal);
                                           list_.start(settings_, SweepClock::now(), rounding_);
                                       },
                                   .set_parameters = {0, 0}});
    t.add("ABORt", {.set = [this](const Call&) { abort(); }, .set_parameters = {0, 0}});
}

void Instrument::add_diagnostic_commands()
{
    scpi::CommandTree& t = engine_.commands();
    t.add("DIAGnostic:BURSt", {.query = [this](const Call&) {
                                   return scpi::string_response(hex_bytes(last_burst_));
                               }});
    t.add("DIAGnostic:DECode", {.query = [this](const Call&) {
                                    return scpi::string_response(last_burst_.empty() ? ""
                                                                                     : decoded_text(last_burst_));
                                }});
}

std::chrono::milliseconds Instrument::tick()
{
    const SweepClock::time_point slice_end = SweepClock::now() + kWriteSlice;
    for (;;) {
        if (!list_.running() || list_.stepped_by_trigger())
            return kIdleTick;
        const SweepClock::time_point now = SweepClock::now();
        const SweepClock::time_point due = list_.next_due();
        if (now < due)
            return std::min(std::chrono::floor<std::chrono::milliseconds>(due - now), kIdleTick);
        if (now >= slice_end)
            return std::chrono::milliseconds(0);
        write_hop();
    }
}

void Instrument::abort()
{
    list_.stop();
}

void Instrument::refuse_while_listing() const
{
    if (list_.running())
        throw Refusal(Error::SettingsConflict, "a hop list runs; ABORt it first");
}

void Instrument::change_settings(const std::function<void(RegisterSet&)>& change)
{
    refuse_while_listing();
    RegisterSet r = settings_;
    change(r);
    recompute(r);
    settings_ = r;
    requested_mhz_.reset();
}

void Instrument::reset()
{
    list_ = HopList{};
    settings_ = register_set_of(SettingOptions{});  // no option given: the panel's first-start values
    recompute(settings_);
    requested_mhz_.reset();
    rounding_ = Rounding::Down;
    enhancement_path_ = false;
}

void Instrument::send_press_burst(bool enhancement_path)
{
    const ProgrammingBurst b = press_burst(settings_, enhancement_path);
    const BoardWrite w = write_burst(b.bytes.data(), b.bytes.size());
    const std::string failed = write_failure_text(board_.name, b.bytes, w);
    if (!failed.empty())
        board_fault(write_brief(w.ok ? "" : w.status, w.written, b.bytes.size()), failed);
}

void Instrument::write_hop()
{
    const Hop hop = list_.write_next(writer_);
    if (hop.settings) {
        settings_ = *hop.settings;
        requested_mhz_ = hop.requested_mhz;
    }
    if (hop.failure)
        board_fault("list point " + std::to_string(hop.failure->point + 1) + ": " +
                        write_brief(hop.failure->status, hop.failure->written, hop.failure->length),
                    "the hop list to FTDI " + board_.name + " stopped at " + hop.failure_text);
}

void Instrument::board_fault(const std::string& brief, const std::string& full)
{
    engine_.status().report(Error::Hardware, brief);
    if (fault_log_)
        fault_log_(full);
}

BoardWrite Instrument::write_burst(const uint8_t* bytes, std::size_t length)
{
    last_burst_.assign(bytes, bytes + length);
    return board_.write(bytes, length);
}
