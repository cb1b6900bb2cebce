#include "app/board/bitbang_transmitter.h"

#include "wire/burst_decoder.h"
#include "app/board/board_choice.h"
#include "app/board/board_connection.h"
#include "wire/serial_words.h"
#include "wire/short_write.h"
#include "d2xx/statuses.h"
#include "model/number_text.h"
#include "app/status_box.h"

#include <vector>

namespace {

// Says in the Status box what the chip received from a burst written whole.
void confirm_sent(const UCHAR* burst, DWORD length)
{
    const ChipReception r = decode_burst(std::vector<uint8_t>(burst, burst + length));
    if (!r.enhancement_words.empty()) {
        const unsigned E = r.enhancement_words.front();
        append_status("Sent enhancement word %s (%u bytes): E %u. Only the enhancement register was "
                      "programmed, not the counters: set ENH to \"Disable (High)\" to program R, M, A and K.\n",
                      hex_text(E, 2).c_str(), static_cast<unsigned>(length), E);
        return;
    }
    if (r.latched_words.empty())
        return;
    const MainWordFields f = main_word_fields(r.latched_words[0]);
    if (r.latched_words.size() > 1) {
        append_status("Sent main word %s and auxiliary word %s (%u bytes): R %u, M %u, A %u, K %u\n",
                      hex_text(r.latched_words[0], 6).c_str(), hex_text(r.latched_words[1], 6).c_str(),
                      static_cast<unsigned>(length), f.R, f.M, f.A, auxiliary_word_k(r.latched_words[1]));
    } else {
        append_status("Sent main word %s (%u bytes): R %u, M %u, A %u\n", hex_text(r.latched_words[0], 6).c_str(),
                      static_cast<unsigned>(length), f.R, f.M, f.A);
    }
}

BurstListener burst_listener = nullptr;
unsigned long burst_count = 0;

// Builds the burst that enhbar and auxWord select, whole, and writes it with one
// FT_Write. A failed or short write is reported in the status box.
void WordOutput(uint32_t word, uint32_t auxWord, uint8_t optionByte, int enhbar)
{
    BurstBytes burst;
    const auto length =
        static_cast<DWORD>(build_burst(burst_kind(enhbar, auxWord), word, auxWord, optionByte, burst));
    DWORD written = 0;
    FTDIStatus = write_burst(burst.data(), length, &written);
    if (FTDIStatus == FT_OK && written == length)
        confirm_sent(burst.data(), length);
    else
        append_status("Programming failed: FT_Write status %s, %u of %u bytes written; %s.\n",
                      status_text(FTDIStatus).c_str(), static_cast<unsigned>(written), static_cast<unsigned>(length),
                      short_write_text(what_the_chip_latched(burst.data(), length, FTDIStatus == FT_OK ? written : 0,
                                                             FTDIStatus == FT_OK || write_sent_nothing(FTDIStatus)))
                          .c_str());
    if (FTDIStatus != FT_OK)
        notice_unplug();
}

}  // namespace

void set_burst_listener(BurstListener listener)
{
    burst_listener = listener;
}

void Write_Data(uint32_t word, uint32_t auxWord, uint8_t optionByte, int enhbar)
{
    FTDIStatus = FT_CreateDeviceInfoList(&num_devs);
    if (FTDIStatus != FT_OK) {
        append_status("The FTDI devices cannot be counted (%s): nothing was sent. Check the board's USB cable, then "
                      "choose Board > Rescan.\n",
                      status_text(FTDIStatus).c_str());
        return;
    }
    if (num_devs == 0 && FTDIHandle)
        notice_unplug();
    if (num_devs == 0 || !FTDIHandle) {
        // A board plugged in later, or one whose open failed, is counted but not
        // open: writing to it could only fail.
        show_board_notice(false);
        append_status("%s", nothing_sent_reason(num_devs).c_str());
        return;
    }
    show_board_notice(true);
    WordOutput(word, auxWord, optionByte, enhbar);
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
