#pragma once
// The programming frames: the panel's bit toggles and option switches packed
// into the serial words of a "Program Device" press, and the option byte. The
// toggles PANEL_SEC_n (PANEL_SEC_4 is the prescaler switch), PANEL_AUX_n and
// PANEL_ENHBIT_n stand at place n of the main, auxiliary and enhancement words.

#include <cstdint>

// What a press sends: the word (main or enhancement), the auxiliary word (0 when
// there is none), the option byte and ENHBAR, as Write_Data takes them.
struct PressWords {
    uint32_t word = 0;
    uint32_t aux = 0;
    uint8_t option_byte = 0;
    int enhbar = 0;
};

// Packs the words from the panel's bit toggles and switches as a press does once
// its recompute has run (the toggles then show the fields). Reads ENHBAR and the
// option switches into the working register set; writes nothing.
PressWords words_from_panel();

// Callback of "Program Device": with ENH "Disable (High)" sends the main word (and
// for ZR3500 the auxiliary word) and with "Enable  (Low)" the enhancement word,
// each with the option byte.
int SEND_DATA(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);

// Callback of the option switches Mod Select, RAND_EN, MASH2SEL, ENH and LNM: it
// refreshes the option flags and the frequency display. A switch never writes to
// the board; its level goes out with the next "Program Device".
int callbacks(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
