#pragma once
// A freshly loaded main panel for each test, with the register set back at its
// start-of-program state, and helpers that act on the panel as an operator would.

#include "resource/New_Panel.h"

#include <gtest/gtest.h>

#include <string>

class QWidget;

// The constant name of a main-panel control, for messages.
std::string CtrlName(int control);

class MainPanelTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QWidget* widget(int control) const;

    // Reads in the control's own type.
    int int_val(int control) const;
    unsigned uint_val(int control) const;
    double double_val(int control) const;
    std::string text(int control) const;
    bool visible(int control) const;
    bool dimmed(int control) const;

    // Operator actions.
    void click(int control);                        // a left click in the middle
    void type_and_enter(int control, const std::string& typed);  // replaces the text, then Enter
    void arrow(int control, bool up);               // one arrow key press

    int panel = 0;
};
