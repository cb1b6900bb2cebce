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

template <std::size_t N>
std::array<int, N> read_toggles(const std::array<int, N>& controls)
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
        w.aux = regs.N_flag != 0 ? pack_auxiliary_word(read_toggles(kAuxiliaryWordToggles)) : 0;
    } else {
        w.word = pack_enhancement_word(read_toggles(kEnhancementWordToggles));
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
    Write_Data(w.word, w.aux, w.option_byte, w.enhbar);
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
