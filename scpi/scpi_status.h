#pragma once
// The instrument's error/event queue and its standard event status register, as
// SYSTem:ERRor?, SYSTem:ERRor:COUNt?, *ESR? and *CLS read and clear them.

#include "scpi/scpi_errors.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

namespace scpi {

struct ErrorEntry {
    Error error = Error::None;
    std::string detail;
};

// The longest detail kept with an error; the rest is cut.
constexpr std::size_t kMaxErrorDetail = 80;

// `-113,"Undefined header;FREQU"`: the number, and the standard text with the
// detail after ';' inside one string (quotes doubled, bytes that are not
// printable shown as \xHH). `0,"No error"` for no error.
std::string error_response(const ErrorEntry& entry);

class Status {
public:
    static constexpr std::size_t kDefaultQueueSize = 32;
    explicit Status(std::size_t queue_size = kDefaultQueueSize);

    // Queues the error and sets its event bit. On a full queue the last entry
    // becomes -350 Queue overflow; the bit of the error lost is set all the same.
    void report(Error error, std::string_view detail = {});
    // The oldest entry, taken off the queue; None when empty.
    ErrorEntry next_error();
    std::size_t error_count() const { return queue_.size(); }

    void set_event(std::uint8_t bits) { events_ |= bits; }
    // *ESR?: the register, cleared by the reading.
    std::uint8_t read_events();
    std::uint8_t events() const { return events_; }

    // *CLS: the queue and the register emptied.
    void clear();

private:
    std::size_t queue_size_;
    std::deque<ErrorEntry> queue_;
    std::uint8_t events_ = 0;
};

}  // namespace scpi
