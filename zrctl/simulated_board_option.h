#pragma once
// --simulated-board: for one run of zrctl, the simulated board stands behind the
// D2XX calls as the only device (index 0, serial number SIMULATED), so that the
// commands that open a board can be tried, and scripts tested, without one.
//
// For tests that run zrctl as a process: when the environment variable
// ZRCTL_SIMULATED_BOARD_LOG names a file, every burst handed to the board is
// appended to it as one line of hex bytes, as burst prints them. The board
// keeps no other record, so a long run does not grow.

#include "d2xx/simulated_board.h"

#include <memory>

inline constexpr const char* kSimulatedBoardLogVariable = "ZRCTL_SIMULATED_BOARD_LOG";

// Whether the simulated board stands behind the calls for this run.
bool simulated_board_in_use();

class SimulatedBoardInUse {
public:
    // Refuses with "invalid input" when the log cannot be opened.
    SimulatedBoardInUse();
    // The last bursts logged, and the driver that stood there before put back.
    ~SimulatedBoardInUse();
    SimulatedBoardInUse(const SimulatedBoardInUse&) = delete;
    SimulatedBoardInUse& operator=(const SimulatedBoardInUse&) = delete;

private:
    struct Board;
    std::unique_ptr<Board> board_;
};
