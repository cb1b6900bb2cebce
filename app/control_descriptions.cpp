#include "app/control_descriptions.h"

#include "app/toggle_rows.h"
#include "wire/register_map.h"
#include "resource/New_Panel.h"
#include "ui_runtime/ui_runtime.h"
#include "ui_runtime/ui_runtime_qt.h"

#include <cctype>
#include <cstdio>
#include <string>

namespace {

struct Description {
    int control;
    const char* text;
};

// The controls whose meaning is fixed; ranges are added from the resource.
const Description kDescriptions[] = {
    {PANEL_REF_FREQ, "Reference frequency Fr in MHz. Fc = Fr / (R + 1)."},
    {PANEL_PLL_FREQ, "Output frequency Fin in MHz. Type a target and the registers are solved for it; "
                     "an arrow step moves one channel of Fc up or down."},
    {PANEL_R_REG, "Reference counter R (6 bits): Fc = Fr / (R + 1)."},
    {PANEL_M_REG, "Main counter M (9 bits). The range rules keep it where the prescaler and modulator allow."},
    {PANEL_A_REG, "Swallow counter A (4 bits), unused while the prescaler is bypassed."},
    {PANEL_K_REG, "Fractional numerator K (18 bits): the fraction is (2 x K + RAND_EN) / 524288."},
    {PANEL_E_REG, "Enhancement register E (8 bits), sent alone while ENH is at \"Enable  (Low)\"."},
    {PANEL_SEC_4, "Prescaler: \"Enable\" divides by the 10/11 or 5/6 prescaler (P 10 or 5); \"Disable\" "
                  "bypasses it (P 1, A unused)."},
    {PANEL_MOD_SEL, "Prescaler modulus: \"10/11\" (P 10) or \"5/6\" (P 5). Board line MOD_SEL."},
    {PANEL_RAND_EN, "Dither: the lowest bit of the 19-bit fraction. Board line RAND_EN."},
    {PANEL_MASH, "Order of the sigma-delta modulator: \"1-1\" (second) or \"1-1-1\" (third). Board line MASH."},
    {PANEL_ENHBAR, "\"Enable  (Low)\": a press programs only the enhancement register E. \"Disable (High)\": a press "
                   "programs R, M, A and, for ZR3500, K. Board line ENHBAR."},
    {PANEL_LNM, "The board's LNM jumper, as fitted: it changes the modulator's range rules. Not sent."},
    {PANEL_SEND_DATA, "Sends the registers to the chip in one burst, as ENH selects; Status says what went out."},
    {PANEL_QUIT, "Closes the board, saves the panel to panel.sts and quits."},
    {PANEL_Status, "Messages of the board search and of each programming."},
    {PANEL_TEXTMSG_10, "The part in force; choose it from the \"Select Part\" menu."},
    {PANEL_TEXTMSG_41, "No board was found at start-up: connect it and restart the program."},
    {PANEL_TEXTMSG_42, "The board was found at start-up."},
    {PANEL_BOARD, "The board presses write to, as it is now: open, unplugged, busy, or why it could not be "
                  "opened. The Board menu chooses another, rescans, or closes it."},
    {PANEL_PICTURE_2, "Opens the maker's web site."},
    {PANEL_SOLVE_REPORT, "What the last solve asked for, what the registers give, and what the range rules changed."},
    {PANEL_SPUR_REPORT, "Where the spurs of the registers in force fall, as offsets from the carrier (no levels): "
                        "the integer-boundary spur at Fc times the distance of N to the nearest whole number, the "
                        "fractional spurs at Fc / D and Fc / (2 x D) for the fraction's reduced denominator D."},
};

// " Main word bit 16.": where a one-bit switch goes in its word.
std::string switch_place(FieldOf of)
{
    std::string word = serial_word(word_of(of)).name;
    word[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(word[0])));
    return " " + word + " word bit " + std::to_string(word_bit_of(of, 0)) + ".";
}

std::string range_of(const ControlDef& c)
{
    char text[80];
    if (c.type == ValueType::Unsigned)
        std::snprintf(text, sizeof text, " Range %.0f to %.0f.", c.minimum, c.maximum);
    else
        std::snprintf(text, sizeof text, " Range %g to %g.", c.minimum, c.maximum);
    return text;
}

// "M bit 6, main word bit 15."
std::string bit_description(const ControlDef& c)
{
    const std::optional<ToggleBit> t = toggle_bit(c.id);
    if (!t || !t->carries.field)
        return "";
    char text[80];
    std::snprintf(text, sizeof text, "%s bit %d, %s word bit %d.", t->carries.field->name, t->carries.register_bit,
                  serial_word(t->word).name, t->word_bit);
    return text;
}

}  // namespace

std::string control_description(const ControlDef& c)
{
    std::string text;
    for (const Description& d : kDescriptions)
        if (d.control == c.id)
            text = d.text;
    if (c.id == PANEL_SEC_4)
        text += switch_place(FieldOf::PS);
    if (c.kind == ControlKind::Numeric)
        text += range_of(c);
    else if (c.kind == ControlKind::BitToggle)
        text = bit_description(c) + " Click or press Space to flip it; the arrow keys move along the row.";
    else if (text.empty() && c.kind == ControlKind::TextMessage)
        text = "Select the text with the mouse to copy it.";
    return text;
}

void describe_main_panel_controls(int panel)
{
    for (const ControlDef* c : PanelControlDefs(panel)) {
        const std::string text = control_description(*c);
        if (!text.empty())
            SetCtrlToolTip(panel, c->id, text.c_str());
    }
}
