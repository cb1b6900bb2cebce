#include "app/board/bitbang_transmitter.h"

#include "wire/burst_decoder.h"
#include "app/board/board_connection.h"
#include "wire/serial_words.h"
#include "wire/short_write.h"
#include "app/status_box.h"

#include <vector>

namespace {

// Says in the Status box what the chip received from a burst written whole.
void confirm_sent(const UCHAR* burst, DWORD length)
{
    const ChipReception r = decode_burst(std::vector<uint8_t>(burst, burst + length));
    if (!r.enhancement_words.empty()) {
        const unsigned E = r.enhancement_words.front();
        append_status("Sent enhancement word 0x%02X (%u bytes): E %u. Only the enhancement register was "
                      "programmed, not the counters: set ENH to \"Disable (High)\" to program R, M, A and K.\n",
                      E, static_cast<unsigned>(length), E);
        return;
    }
    if (r.latched_words.empty())
        return;
    const MainWordFields f = main_word_fields(r.latched_words[0]);
    if (r.latched_words.size() > 1) {
        append_status("Sent main word 0x%06X and auxiliary word 0x%06X (%u bytes): R %u, M %u, A %u, K %u\n",
                      r.latched_words[0], r.latched_words[1], static_cast<unsigned>(length), f.R, f.M, f.A,
                      auxiliary_word_k(r.latched_words[1]));
    } else {
        append_status("Sent main word 0x%06X (%u bytes): R %u, M %u, A %u\n", r.latched_words[0],
                      static_cast<unsigned>(length), f.R, f.M, f.A);
    }
}

}  // namespace

UCHAR OutBufferS[kMainBurstLength];
UCHAR OutBufferA[kMainAuxBurstLength];
UCHAR OutBufferE[kEnhancementBurstLength];
DWORD Write_Result = 0;

namespace {

BurstListener burst_listener = nullptr;
unsigned long burst_count = 0;

}  // namespace

void set_burst_listener(BurstListener listener)
{
    burst_listener = listener;
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
    const BurstKind kind = burst_kind(enhbar, aux_word);
    UCHAR* burst = nullptr;
    switch (kind) {
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
    const auto length = static_cast<DWORD>(burst_length(kind));
    FTDIStatus = write_burst(burst, length, &Write_Result);
    if (FTDIStatus == FT_OK && Write_Result == length)
        confirm_sent(burst, length);
    else
        append_status("Programming failed: FT_Write status %d, %u of %u bytes written; %s.\n",
                      static_cast<int>(FTDIStatus), static_cast<unsigned>(Write_Result),
                      static_cast<unsigned>(length),
                      short_write_text(what_the_chip_latched(burst, length, FTDIStatus == FT_OK ? Write_Result : 0,
                                                             FTDIStatus == FT_OK || write_sent_nothing(FTDIStatus)))
                          .c_str());
    return 0;
}

unsigned long bursts_written()
{
    return burst_count;
}

FT_STATUS write_burst(const UCHAR* burst, DWORD length, DWORD* written)
{
    *written = 0;
    ++burst_count;
    const FT_STATUS status = FT_Write(FTDIHandle, const_cast<UCHAR*>(burst), length, written);
    if (burst_listener)
        burst_listener(burst, length, status == FT_OK ? *written : 0);
    return status;
}
