#include "link/bitbang_transmitter.h"

#include "link/board_connection.h"
#include "model/register_set.h"
#include "panel/main_panel.h"
#include "panel/New_Panel.h"
#include "panel/ui_runtime.h"

#include <cstdio>

UCHAR OutBufferS[kMainBurstLength];
UCHAR OutBufferA[kMainAuxBurstLength];
UCHAR OutBufferE[kEnhancementBurstLength];
DWORD Write_Result = 0;

namespace {

// Bit cells of a word, most significant bit first: data set while the clock is
// low and held over its rising edge. Returns the byte after the last cell.
UCHAR* put_cells(UCHAR* out, uint32_t word, int bits, UCHAR base)
{
    for (int bit = bits - 1; bit >= 0; --bit) {
        const UCHAR data = ((word >> bit) & 1u) ? SDAT : 0;
        *out++ = base | data;
        *out++ = base | data | SCLK;
    }
    return out;
}

// Two idle bytes after the last clock, then the two-byte S_WR pulse that latches
// the 21 bits shifted in.
UCHAR* put_latched_word(UCHAR* out, uint32_t word, UCHAR O)
{
    out = put_cells(out, word, kMainWordBits, O);
    *out++ = O;
    *out++ = O;
    *out++ = O | S_WR;
    *out++ = O | S_WR;
    return out;
}

void report(const char* format, auto... args)
{
    std::snprintf(buf, kBufSize, format, args...);
    SetCtrlVal(MainPanelHandle, PANEL_Status, buf);
}

}  // namespace

void build_main_burst(uint32_t word, UCHAR O, UCHAR (&out)[kMainBurstLength])
{
    UCHAR* p = out;
    *p++ = O;
    *p++ = O;
    p = put_latched_word(p, word, O);
    *p++ = O;
}

void build_main_aux_burst(uint32_t word, uint32_t auxWord, UCHAR O, UCHAR (&out)[kMainAuxBurstLength])
{
    UCHAR* p = out;
    *p++ = O;
    *p++ = O;
    p = put_latched_word(p, word, O);
    *p++ = O;
    *p++ = O;
    *p++ = O;
    p = put_latched_word(p, auxWord, O);
    *p++ = O;
}

void build_enhancement_burst(uint32_t word, UCHAR O, UCHAR (&out)[kEnhancementBurstLength])
{
    // E_WR rises one byte before the first bit and falls in the last byte.
    const UCHAR base = O | E_WR;
    UCHAR* p = out;
    *p++ = O;
    *p++ = base;
    p = put_cells(p, word, kEnhancementWordBits, base);
    *p++ = base;
    *p++ = O;
}

int Write_Data(int word, int auxWord, int optionByte, int enhbar)
{
    FTDIStatus = FT_CreateDeviceInfoList(&num_devs);
    if (FTDIStatus != FT_OK)
        return 1;
    if (num_devs == 0) {
        show_board_notice(false);
        return 1;
    }
    if (!FTDIHandle) {
        // A board plugged in after start-up, or one whose open failed, is counted
        // but was never opened: writing to it could only fail.
        show_board_notice(false);
        report("%s", "The interface board was not opened at start-up: nothing was sent. "
                     "Restart the program to use it.\n");
        return 1;
    }
    show_board_notice(true);
    WordOutput(word, auxWord, optionByte, enhbar);
    return 0;
}

int WordOutput(int word, int auxWord, int optionByte, int enhbar)
{
    const auto O = static_cast<UCHAR>(optionByte);
    const auto main_word = static_cast<uint32_t>(word);
    const auto aux_word = static_cast<uint32_t>(auxWord);
    UCHAR* burst = nullptr;
    DWORD length = 0;
    if (enhbar == 0) {
        build_enhancement_burst(main_word, O, OutBufferE);
        burst = OutBufferE;
        length = kEnhancementBurstLength;
    } else if (aux_word == 0) {
        build_main_burst(main_word, O, OutBufferS);
        burst = OutBufferS;
        length = kMainBurstLength;
    } else {
        build_main_aux_burst(main_word, aux_word, O, OutBufferA);
        burst = OutBufferA;
        length = kMainAuxBurstLength;
    }
    Write_Result = 0;
    FTDIStatus = FT_Write(FTDIHandle, burst, length, &Write_Result);
    if (FTDIStatus != FT_OK || Write_Result != length)
        report("Programming failed: FT_Write status %d, %u of %u bytes written.\n", static_cast<int>(FTDIStatus),
               static_cast<unsigned>(Write_Result), static_cast<unsigned>(length));
    return 0;
}
