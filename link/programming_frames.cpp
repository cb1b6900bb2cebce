#include "link/programming_frames.h"

#include "link/bitbang_transmitter.h"
#include "model/calculator.h"
#include "model/register_set.h"
#include "model/toggle_rows.h"
#include "panel/main_panel.h"
#include "panel/New_Panel.h"
#include "panel/ui_runtime.h"

namespace {

constexpr uint16_t kOptionByteBits = 8;

// The toggles of the main word in their order on the line.
constexpr int kMainWordToggles[] = {
    PANEL_SEC_0,  PANEL_SEC_1,  PANEL_SEC_2,  PANEL_SEC_3,  PANEL_SEC_4,  PANEL_SEC_5,  PANEL_SEC_6,
    PANEL_SEC_7,  PANEL_SEC_8,  PANEL_SEC_9,  PANEL_SEC_10, PANEL_SEC_11, PANEL_SEC_12, PANEL_SEC_13,
    PANEL_SEC_14, PANEL_SEC_15, PANEL_SEC_16, PANEL_SEC_17, PANEL_SEC_18, PANEL_SEC_19};

// Sets 1-bit fields, the first toggle at the top bit of a word of length bits.
template <std::size_t N>
void insert_from_top(uint32_t* word, const std::array<int, N>& bits, uint16_t length)
{
    for (std::size_t n = 0; n < N; ++n)
        InsertBits(word, static_cast<uint16_t>(bits[n]), static_cast<uint16_t>(length - 1 - n), 1, length);
}

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

void InsertBits(uint32_t* word, uint16_t value, uint16_t position, uint16_t width, uint16_t length)
{
    uint32_t mask = 0;
    if (position + width <= length && position < 32) {
        const uint64_t field = width >= 32 ? 0xFFFFFFFFu : (uint64_t{1} << width) - 1;
        mask = static_cast<uint32_t>(field << position);
    }
    *word &= ~mask;
    if (position < 32)
        *word |= static_cast<uint32_t>(value) << position;
}

uint8_t pack_option_byte(int ENHBAR, int MASH, int RAND_EN, int MOD_SEL)
{
    uint32_t word = 0;
    // Bits 0, 1, 2 and 4 are the places of the serial lines, always 0 here.
    InsertBits(&word, 0, 0, 1, kOptionByteBits);
    InsertBits(&word, 0, 1, 1, kOptionByteBits);
    InsertBits(&word, 0, 2, 1, kOptionByteBits);
    InsertBits(&word, static_cast<uint16_t>(ENHBAR), 3, 1, kOptionByteBits);
    InsertBits(&word, 0, 4, 1, kOptionByteBits);
    InsertBits(&word, static_cast<uint16_t>(MASH), 5, 1, kOptionByteBits);
    InsertBits(&word, static_cast<uint16_t>(RAND_EN), 6, 1, kOptionByteBits);
    InsertBits(&word, static_cast<uint16_t>(MOD_SEL), 7, 1, kOptionByteBits);
    return static_cast<uint8_t>(word & 0xFF);
}

uint32_t pack_main_word(const std::array<int, 20>& sec)
{
    uint32_t word = 0;
    insert_from_top(&word, sec, kMainWordBits);
    InsertBits(&word, 0, 0, 1, kMainWordBits);
    return word;
}

uint32_t pack_auxiliary_word(const std::array<int, 18>& aux)
{
    uint32_t word = 0;
    insert_from_top(&word, aux, kMainWordBits);
    // The last bit tells the auxiliary word from the main word on the shared strobe.
    InsertBits(&word, 0, 2, 1, kMainWordBits);
    InsertBits(&word, 0, 1, 1, kMainWordBits);
    InsertBits(&word, 1, 0, 1, kMainWordBits);
    return word;
}

uint32_t pack_enhancement_word(const std::array<int, 8>& enh)
{
    uint32_t word = 0;
    insert_from_top(&word, enh, kEnhancementWordBits);
    return word;
}

int SEND_DATA(int, int, int event, void*, int, int)
{
    if (event != EVENT_COMMIT)
        return 0;
    GetCtrlVal(MainPanelHandle, PANEL_ENHBAR, &regs.ENHBAR);
    // The toggles then hold the registers the panel shows.
    calculate_freq_from_regs(kModeRecompute);
    read_option_switches();
    const uint8_t option_byte = pack_option_byte(regs.ENHBAR, regs.MASH, regs.RAND_EN, regs.MOD_SEL);
    if (regs.ENHBAR != 0) {
        const uint32_t main_word = pack_main_word(read_toggles(kMainWordToggles));
        const uint32_t aux_word = regs.N_flag != 0 ? pack_auxiliary_word(read_toggles(kKToggles)) : 0;
        Write_Data(static_cast<int>(main_word), static_cast<int>(aux_word), option_byte, regs.ENHBAR);
    } else {
        const uint32_t enhancement_word = pack_enhancement_word(read_toggles(kEToggles));
        Write_Data(static_cast<int>(enhancement_word), 0, option_byte, regs.ENHBAR);
    }
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
