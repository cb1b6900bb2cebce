#include "app/board/programming_frames.h"

#include "app/board/bitbang_transmitter.h"
#include "wire/serial_words.h"
#include "app/calculator.h"
#include "app/toggle_rows.h"
#include "app/main_panel.h"
#include "resource/New_Panel.h"
#include "ui_runtime/ui_runtime.h"

#include <array>

namespace {

// The toggles of the main word in their order on the line.
constexpr int kMainWordToggles[] = {
    PANEL_SEC_0,  PANEL_SEC_1,  PANEL_SEC_2,  PANEL_SEC_3,  PANEL_SEC_4,  PANEL_SEC_5,  PANEL_SEC_6,
    PANEL_SEC_7,  PANEL_SEC_8,  PANEL_SEC_9,  PANEL_SEC_10, PANEL_SEC_11, PANEL_SEC_12, PANEL_SEC_13,
    PANEL_SEC_14, PANEL_SEC_15, PANEL_SEC_16, PANEL_SEC_17, PANEL_SEC_18, PANEL_SEC_19};

template <std::size_t N>
std::array<int, N> read_toggles(const int (&controls)[N])
{
    std::array<int, N> values{};
    for (std::size_t n = 0; n < N; ++n)
        GetCtrlVal(MainPanelHandle, controls[n], &values[n]);
    return values;
}

void read_option_switches()
{
    GetCtrlVal(MainPanelHandle, PANEL_ENHBAR, &regs.ENHBAR);
    GetCtrlVal(MainPanelHandle, PANEL_MOD_SEL, &regs.MOD_SEL);
    GetCtrlVal(MainPanelHandle, PANEL_MASH, &regs.MASH);
    GetCtrlVal(MainPanelHandle, PANEL_RAND_EN, &regs.RAND_EN);
}

}  // namespace

PressWords words_from_panel()
{
    read_option_switches();
    PressWords w;
    w.enhbar = regs.ENHBAR;
    w.option_byte = pack_option_byte(regs.ENHBAR, regs.MASH, regs.RAND_EN, regs.MOD_SEL);
    if (regs.ENHBAR != 0) {
        w.word = pack_main_word(read_toggles(kMainWordToggles));
        w.aux = regs.N_flag != 0 ? pack_auxiliary_word(read_toggles(kKToggles)) : 0;
    } else {
        w.word = pack_enhancement_word(read_toggles(kEToggles));
    }
    return w;
}

int SEND_DATA(int, int, int event, void*, int, int)
{
    if (event != EVENT_COMMIT)
        return 0;
    GetCtrlVal(MainPanelHandle, PANEL_ENHBAR, &regs.ENHBAR);
    // The toggles then hold the registers the panel shows.
    calculate_freq_from_regs(kModeRecompute);
    const PressWords w = words_from_panel();
    Write_Data(static_cast<int>(w.word), static_cast<int>(w.aux), w.option_byte, w.enhbar);
    return 0;
}

int callbacks(int, int, int event, void*, int, int)
{
    if (event != EVENT_COMMIT)
        return 0;
    read_option_switches();
    calculate_freq_from_regs(kModeRecompute);
    return 0;
}
