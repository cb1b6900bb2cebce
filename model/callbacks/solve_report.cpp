#include "model/callbacks/solve_report.h"

#include "model/calculation.h"
#include "model/chip_limits.h"
#include "panel/main_panel.h"
#include "panel/New_Panel.h"
#include "panel/runtime/ui_runtime.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace {

struct Solve {
    double requested = 0.0;
    uint32_t M = 0, A = 0, K = 0;
};

Solve last_solve;
bool report_shown = false;
double reported_fin = 0.0;

// "A lowered from 6 to 4 by the range rules. "
std::string change(const char* name, uint32_t solved, uint32_t now)
{
    if (solved == now)
        return "";
    char text[120];
    std::snprintf(text, sizeof text, "%s %s from %u to %u by the range rules. ", name,
                  now > solved ? "raised" : "lowered", solved, now);
    return text;
}

// A solved value beyond the register's width.
std::string beyond_width(const char* name, uint32_t solved, int bits)
{
    const uint32_t held = held_in_register(solved, bits);
    if (held == solved)
        return "";
    char text[160];
    std::snprintf(text, sizeof text, "The solver gave %s %u, more than %d bits hold: the register holds %u. ", name,
                  solved, bits, held);
    return text;
}

// A frequency in MHz to the Hz, without trailing zeros: "4321", "4220.999908".
std::string mhz(double f)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.6f", f);
    std::string t = text;
    if (t.find('.') != std::string::npos) {
        while (t.back() == '0')
            t.pop_back();
        if (t.back() == '.')
            t.pop_back();
    }
    return t;
}

}  // namespace

void note_solved_registers(const RegisterSet& solved)
{
    last_solve = {solved.new_pll_freq, solved.M_reg, solved.A_reg, solved.K_reg};
}

void show_solve_report()
{
    unsigned M = 0, A = 0, K = 0;
    GetCtrlVal(MainPanelHandle, PANEL_M_REG, &M);
    GetCtrlVal(MainPanelHandle, PANEL_A_REG, &A);
    GetCtrlVal(MainPanelHandle, PANEL_K_REG, &K);
    const double achieved = regs.new_pll_freq;
    const FrequencyError e = frequency_error(last_solve.requested, achieved);
    char ppm[40];
    if (std::isfinite(e.ppm))
        std::snprintf(ppm, sizeof ppm, "%+.3f ppm", e.ppm);
    else
        std::snprintf(ppm, sizeof ppm, "no ppm of 0 MHz");
    std::snprintf(buf, kBufSize, "Asked %s MHz, registers give %s MHz: %+.1f Hz (%s). ",
                  mhz(last_solve.requested).c_str(), mhz(achieved).c_str(), e.hz, ppm);
    std::string line = buf;
    line += beyond_width("M", last_solve.M, chip::kMBits);
    line += beyond_width("A", last_solve.A, chip::kABits);
    line += beyond_width("K", last_solve.K, chip::kKBits);
    line += change("M", held_in_register(last_solve.M, chip::kMBits), M);
    line += change("A", held_in_register(last_solve.A, chip::kABits), A);
    if (regs.N_flag != ZR3100)
        line += change("K", held_in_register(last_solve.K, chip::kKBits), K);
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    std::snprintf(buf, kBufSize, "%s", line.c_str());
    SetCtrlVal(MainPanelHandle, PANEL_SOLVE_REPORT, buf);
    report_shown = true;
    reported_fin = achieved;
}

void clear_stale_solve_report()
{
    if (report_shown && regs.new_pll_freq != reported_fin) {
        SetCtrlVal(MainPanelHandle, PANEL_SOLVE_REPORT, "");
        report_shown = false;
    }
}
