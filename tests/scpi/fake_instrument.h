#pragma once
// A signal generator of the tests' own on the SCPI engine: a frequency, a hop
// list that runs until the test (or the server's tick) ends it, a part choice
// and an output switch. `settings` counts what reached it.

#include "scpi/scpi_engine.h"

#include <cstdint>
#include <vector>

struct FakeInstrument {
    static constexpr double kStartFrequency = 100e6;
    double frequency = kStartFrequency;
    std::vector<double> list;
    double dwell = 0.01;
    std::uint32_t count = 1;
    std::size_t part = 0;
    bool output = false;
    bool running = false;
    int settings = 0;

    explicit FakeInstrument(scpi::Engine& engine);
};
