#pragma once
// zrctl, the command-line tool on zr-eval's core: it solves, computes, builds and
// decodes bursts, lists the FTDI devices and programs the board, as the panel
// does, without the panel.

#include <istream>
#include <ostream>

// Runs zrctl on its command line, reading standard input from in and printing to
// out and err. Returns the exit status (see failure.h).
int run_zrctl(int argc, const char* const argv[], std::istream& in, std::ostream& out, std::ostream& err);
// The same on the process's standard input.
int run_zrctl(int argc, const char* const argv[], std::ostream& out, std::ostream& err);
