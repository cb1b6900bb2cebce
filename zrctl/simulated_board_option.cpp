#include "zrctl/simulated_board_option.h"

#include "zrctl/failure.h"

#include "d2xx/d2xx.h"
#include "d2xx/simulated_board.h"
#include "wire/bursts.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int runs_in_use = 0;

}  // namespace

struct SimulatedBoardInUse::Board {
    SimulatedBoard board;
    BoardDriver* previous = nullptr;
    std::FILE* log = nullptr;

    // The bursts the board holds, onto the log, and off the board: it is asked
    // before each write, so the log is one burst behind until the end.
    void log_bursts()
    {
        if (log) {
            for (const std::vector<UCHAR>& burst : board.bursts)
                std::fprintf(log, "%s\n", hex_bytes(burst).c_str());
            std::fflush(log);
        }
        board.forget();
    }
};

SimulatedBoardInUse::SimulatedBoardInUse() : board_(std::make_unique<Board>())
{
    if (const char* path = std::getenv(kSimulatedBoardLogVariable); path && *path) {
        board_->log = std::fopen(path, "a");
        if (!board_->log)
            throw Failure(ExitStatus::InvalidInput,
                          std::string(kSimulatedBoardLogVariable) + " " + path + ": " + std::strerror(errno));
    }
    make_board_to_try(board_->board);
    board_->board.before_write = [b = board_.get()] { b->log_bursts(); };
    board_->previous = install_board_driver(&board_->board);
    ++runs_in_use;
}

SimulatedBoardInUse::~SimulatedBoardInUse()
{
    --runs_in_use;
    install_board_driver(board_->previous);
    board_->log_bursts();
    if (board_->log)
        std::fclose(board_->log);
}

bool simulated_board_in_use()
{
    return runs_in_use > 0;
}
