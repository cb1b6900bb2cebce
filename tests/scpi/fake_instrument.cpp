#include "scpi/fake_instrument.h"

#include "scpi/scpi_values.h"

#include <functional>
#include <stdexcept>
#include <string_view>

using namespace scpi;

FakeInstrument::FakeInstrument(Engine& engine)
{
    static constexpr std::string_view kParts[] = {"ZR3100", "ZR3500"};
    static constexpr NumericRule kFrequency{1e6, 6e9, kFrequencyUnits};
    // A setting that counts once its handler has taken the value.
    const auto counted = [this](std::function<void(const Call&)> set) {
        return [this, set](const Call& c) {
            set(c);
            ++settings;
        };
    };
    CommandTree& t = engine.commands();
    t.add("*IDN", {.query = [](const Call&) { return "Fake,Generator,0,1"; }});
    t.add("*RST", {.set = counted([this](const Call&) { frequency = kStartFrequency; }), .set_parameters = {0, 0}});
    t.add("[SOURce:]FREQuency[:CW]",
          {.set = counted([this](const Call& c) { frequency = numeric_value(c.parameters[0], kFrequency); }),
           .query = [this](const Call& c) {
               return number_response(c.parameters.empty() ? frequency : numeric_value(c.parameters[0], kFrequency));
           },
           .query_parameters = {0, 1}});
    t.add("[SOURce:]LIST:FREQuency", {.set = counted([this](const Call& c) {
                                          std::vector<double> points;
                                          for (const Parameter& p : c.parameters)
                                              points.push_back(numeric_value(p, kFrequency));
                                          list = points;
                                      }),
                                      .set_parameters = {1, Arity::kAny}});
    t.add("[SOURce:]LIST:DWELl",
          {.set = counted([this](const Call& c) { dwell = numeric_value(c.parameters[0], {1e-6, 10, kTimeUnits}); }),
           .query = [this](const Call&) { return number_response(dwell); }});
    t.add("[SOURce:]LIST:COUNt",
          {.set = counted([this](const Call& c) { count = whole_value(c.parameters[0], 1, 1000); }),
           .query = [this](const Call&) { return std::to_string(count); }});
    t.add("INITiate[:IMMediate]", {.set = [this](const Call&) { running = true; }, .set_parameters = {0, 0}});
    t.add("ABORt", {.set = [this](const Call&) { running = false; }, .set_parameters = {0, 0}});
    t.add("PART", {.set = counted([this](const Call& c) { part = choice_value(c.parameters[0], kParts); }),
                   .query = [this](const Call&) { return std::string(kParts[part]); }});
    t.add("OUTPut[:STATe]", {.set = counted([this](const Call& c) { output = boolean_value(c.parameters[0]); })});
    t.add("DIAGnostic:FAULt", {.set = [](const Call&) { throw std::runtime_error("the board did not answer"); },
                               .set_parameters = {0, 0}});
    engine.set_operation_pending([this] { return running; });
}
