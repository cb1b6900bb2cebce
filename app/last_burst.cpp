#include "app/last_burst.h"

#include "wire/bursts.h"
#include "app/board/bitbang_transmitter.h"
#include "app/board/programming_frames.h"
#include "app/main_panel.h"

#include <optional>

namespace {

std::optional<WrittenBurst> last;
void (*observer_of_bursts)() = nullptr;

void burst_written(const UCHAR* burst, DWORD length, DWORD written)
{
    last = WrittenBurst{std::vector<uint8_t>(burst, burst + length), written};
    if (observer_of_bursts)
        observer_of_bursts();
}

}  // namespace

void keep_last_burst()
{
    last.reset();
    set_burst_listener(burst_written);
}

const WrittenBurst* last_burst_written()
{
    return last ? &*last : nullptr;
}

void on_burst_written(void (*observer)())
{
    observer_of_bursts = observer;
}

std::vector<uint8_t> next_press_burst()
{
    // Packing the words reads the option switches into the working copies; a
    // look at the panel leaves them as the last operation did.
    const RegisterSet kept = regs;
    const PressWords w = words_from_panel();
    regs = kept;
    return build_burst(w.word, w.aux, w.option_byte, w.enhbar);
}
