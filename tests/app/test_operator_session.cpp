// A long random session at the real panel with the simulated board: after every
// action the panel keeps its promises and every burst carries what it shows.
// ZR_SESSION_ACTIONS sets the length (3000 by default); ZR_SESSION_SEED chooses
// another session than the fixed one, or replays the one a failure printed.
#include "support/operator_session.h"

#include "app/board/board_connection.h"
#include "app/calculator.h"
#include "app/main_panel.h"
#include "app/startup.h"
#include "resource/New_Panel.h"
#include "ui_runtime/ui_runtime.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <iostream>

namespace {

uint64_t env_number(const char* name, uint64_t fallback)
{
    const char* text = std::getenv(name);
    return text && *text ? std::strtoull(text, nullptr, 10) : fallback;
}

}  // namespace

TEST(OperatorSession, EveryActionKeepsThePanelsPromises)
{
    const uint64_t actions = env_number("ZR_SESSION_ACTIONS", 3000);
    const uint64_t seed = env_number("ZR_SESSION_SEED", 20261208);
    std::cout << "operator session: " << actions << " actions, seed " << seed
              << " (replay with ZR_SESSION_SEED=" << seed << ")\n";
    RecordProperty("seed", std::to_string(seed));

    regs = RegisterSet{};
    MainPanelHandle = LoadPanel(0, kResourceFile, PANEL);
    ASSERT_GT(MainPanelHandle, 0);
    SimulatedBoard board;
    BoardDriver* previous = install_board_driver(&board);
    FTDIHandle = nullptr;
    compute_search_and_show();
    ASSERT_NE(FTDIHandle, nullptr) << "the simulated board is open";

    OperatorSession session(MainPanelHandle, board, seed);
    std::deque<std::string> recent;
    for (uint64_t i = 0; i < actions; ++i) {
        recent.push_back(session.act());
        if (recent.size() > 8)
            recent.pop_front();
        const std::string problem = session.check();
        if (!problem.empty()) {
            std::string last;
            for (const std::string& a : recent)
                last += "\n  " + a;
            FAIL() << "after action " << i << " (seed " << seed << "): " << problem << "\nlast actions:" << last;
        }
    }
    EXPECT_GT(session.presses(), 0);
    EXPECT_GT(board.bursts.size(), 0u);

    FT_Close(FTDIHandle);
    FTDIHandle = nullptr;
    install_board_driver(previous);
    DiscardPanel(MainPanelHandle);
}
