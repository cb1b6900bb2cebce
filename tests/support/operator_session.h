#pragma once
// A random operator at the main panel: clicks on every toggle and switch, typed
// values in every field (out-of-range numbers, empty text and garbage among
// them), arrow steps, part changes, "Program Device" presses, and board faults
// injected between presses. Only controls an operator could reach are used:
// shown and not dimmed. QUIT, About and the logos stay untouched.

#include "d2xx/simulated_board.h"

#include <cstdint>
#include <random>
#include <string>

class OperatorSession {
public:
    OperatorSession(int panel, SimulatedBoard& board, uint64_t seed);

    // Does one action and says what it was.
    std::string act();

    // After an action: "" when the panel keeps its promises, the burst of a press
    // carries what the panel shows, and no callback ran but the one the action
    // commits; else what went wrong.
    std::string check() const;

    long presses() const { return presses_; }

private:
    std::string click(int control);  // a left click, if the control can be reached
    std::string click_toggle();
    std::string click_switch();
    std::string type_value();
    std::string step_field();
    std::string choose_part();
    std::string press();
    std::string inject_fault();

    bool reachable(int control) const;
    unsigned pick(unsigned n) { return static_cast<unsigned>(random_() % n); }

    int panel_;
    SimulatedBoard& board_;
    std::mt19937_64 random_;
    std::size_t bursts_before_ = 0;
    long presses_ = 0;
};
