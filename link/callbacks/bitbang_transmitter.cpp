#include "link/callbacks/bitbang_transmitter.h"

#include "link/callbacks/board_connection.h"
#include "panel/status_box.h"

UCHAR OutBufferS[kMainBurstLength];
UCHAR OutBufferA[kMainAuxBurstLength];
UCHAR OutBufferE[kEnhancementBurstLength];
DWORD Write_Result = 0;

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
        append_status("%s", "The interface board was not opened at start-up: nothing was sent. "
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
    switch (burst_kind(enhbar, aux_word)) {
    case BurstKind::Enhancement:
        build_enhancement_burst(main_word, O, OutBufferE);
        burst = OutBufferE;
        break;
    case BurstKind::Main:
        build_main_burst(main_word, O, OutBufferS);
        burst = OutBufferS;
        break;
    case BurstKind::MainAuxiliary:
        build_main_aux_burst(main_word, aux_word, O, OutBufferA);
        burst = OutBufferA;
        break;
    }
    const auto length = static_cast<DWORD>(burst_length(burst_kind(enhbar, aux_word)));
    Write_Result = 0;
    FTDIStatus = FT_Write(FTDIHandle, burst, length, &Write_Result);
    if (FTDIStatus != FT_OK || Write_Result != length)
        append_status("Programming failed: FT_Write status %d, %u of %u bytes written.\n", static_cast<int>(FTDIStatus),
               static_cast<unsigned>(Write_Result), static_cast<unsigned>(length));
    return 0;
}
