#pragma once
// zrctl's command line: the tool, its commands and their options, as parsing,
// --help, the manual page and the bash completion all take them.

#include "zrctl/commands/commands.h"

#include <CLI/CLI.hpp>

#include <string>
#include <vector>

struct ZrctlCommandLine {
    ZrctlCommandLine();
    ZrctlCommandLine(const ZrctlCommandLine&) = delete;
    ZrctlCommandLine& operator=(const ZrctlCommandLine&) = delete;

    CLI::App app;
    std::vector<Command> commands;
    // Set by the options that every command, or every one that opens a board, takes.
    bool json = false;
    bool simulated_board = false;
};

// The bash completion of the command line: a script that completes the
// commands, every option of each, and the values of those that take one of a
// few words (part, prescaler, MASH, LNM) or a file.
std::string bash_completion_script(const CLI::App& zrctl);

// zrctl's manual page: the page's text with its lines %COMMANDS% and
// %OPTIONS% replaced by the commands, each with its arguments and
// options, and the tool's own options, in the manual's markup.
std::string manual_page(const CLI::App& zrctl, const std::string& page);
