#pragma once
// The whole program run in the test process: start-up with the waits recorded
// instead of waited, the simulated board behind the D2XX calls, the operator's
// actions once the event loop runs, then QUIT.

#include "d2xx/simulated_board.h"
#include "app/lifecycle.h"

#include <QDir>
#include <QObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// What happened during a start-up, in order: panels shown, the splash painted, waits.
extern std::vector<std::string> trace;
// What the operator does once the event loop runs; QUIT is clicked after it.
extern std::function<void()> operator_actions;
// Called at each recorded wait, with the number of waits so far.
extern std::function<void(int)> at_wait;
// Whether QUIT is clicked after the operator's actions; a test that ends the
// program another way clears it.
extern bool click_quit;

std::string text_of(int control);
int attribute(int control, int attr);
void click(int control);
// The values of every control the state file holds, but the part text, which
// start-up always rewrites.
std::string panel_values();

// Records panels shown and the splash painted.
class PanelWatcher : public QObject {
public:
    bool eventFilter(QObject* o, QEvent* e) override;
};

class Startup : public ::testing::Test {
public:
    // The text of a file of the working folder, or "" when it cannot be read.
    static std::string file_text(const char* name);

protected:
    void SetUp() override;
    void TearDown() override;

    // One run of the program, from a clean process state, with one option when given.
    int start(const char* resource = kResourceFile, const char* option = nullptr);
    void write_state(const std::string& text);

    QTemporaryDir dir;
    QString previous_dir;
    SimulatedBoard board;
    BoardDriver* previous_board = nullptr;
    PanelWatcher watcher;
};
