#pragma once
// A freshly loaded main panel with the simulated board behind the D2XX calls and
// no board opened yet; whatever a test opens is closed after it.

#include "support/panel_fixture.h"

#include "app/board/board_choice.h"
#include "app/board/board_connection.h"
#include "d2xx/simulated_board.h"
#include "ui_runtime/ui_runtime.h"

class SimulatedBoardTest : public MainPanelTest {
protected:
    void SetUp() override
    {
        MainPanelTest::SetUp();
        previous_ = install_board_driver(&board);
        FTDIHandle = nullptr;
        forget_board();
    }
    void TearDown() override
    {
        InstallPollCallback(0, nullptr);
        if (FTDIHandle)
            FT_Close(FTDIHandle);
        FTDIHandle = nullptr;
        install_board_driver(previous_);
        MainPanelTest::TearDown();
    }

    SimulatedBoard board;

private:
    BoardDriver* previous_ = nullptr;
};
