#pragma once
// zrctl run in-process on a command line, as a test or benchmark gives it.

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

struct ZrctlRun {
    int status = -1;
    std::string out;
    std::string err;

    // The JSON document on out; a test fails when out holds anything else.
    nlohmann::json json() const;
};

// zrctl with these arguments ("solve", "4321", "--json"), printing into the run.
ZrctlRun run_zrctl(const std::vector<std::string>& arguments);
// The same with this text on its standard input.
ZrctlRun run_zrctl(const std::vector<std::string>& arguments, const std::string& input);
