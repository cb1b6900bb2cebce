#pragma once
// Checks of the main panel that hold after every operator action.

#include <string>
#include <vector>

// Whether a burst carries exactly the registers, prescaler switch, enhancement
// register and option levels that the main panel shows: "" when it does, else
// what differs.
std::string burst_differs_from_panel(const std::vector<unsigned char>& burst);

// The panel's standing promises: each register's toggles equal its field, M is at
// least 1, the modulus is 10, 5 or 1, every numeric field holds a value within its
// range. "" when they hold, else the first that does not.
std::string broken_panel_invariant();
