#include "scpi/scpi_status.h"

#include "scpi/scpi_values.h"

#include <cstdio>

namespace scpi {

namespace {

std::string kept_detail(std::string_view detail)
{
    std::string kept;
    std::size_t i = 0;
    for (; i < detail.size() && kept.size() < kMaxErrorDetail; ++i) {
        const auto byte = static_cast<unsigned char>(detail[i]);
        if (byte < 0x20 || byte >= 0x7f) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            kept += hex;
        } else {
            kept += detail[i];
        }
    }
    if (i < detail.size())
        kept += "...";
    return kept;
}

}  // namespace

std::string error_response(const ErrorEntry& entry)
{
    std::string text = error_text(entry.error);
    if (!entry.detail.empty())
        text += ";" + entry.detail;
    return std::to_string(static_cast<int>(entry.error)) + "," + string_response(text);
}

Status::Status(std::size_t queue_size) : queue_size_(queue_size < 2 ? 2 : queue_size) {}

void Status::report(Error error, std::string_view detail)
{
    set_event(event_bit_of(error));
    if (queue_.size() < queue_size_) {
        queue_.push_back({error, kept_detail(detail)});
        return;
    }
    if (queue_.back().error != Error::QueueOverflow) {
        queue_.back() = {Error::QueueOverflow, {}};
        set_event(event_bit_of(Error::QueueOverflow));
    }
}

ErrorEntry Status::next_error()
{
    if (queue_.empty())
        return {};
    ErrorEntry entry = std::move(queue_.front());
    queue_.pop_front();
    return entry;
}

std::uint8_t Status::read_events()
{
    const std::uint8_t e = events_;
    events_ = 0;
    return e;
}

void Status::clear()
{
    queue_.clear();
    events_ = 0;
}

}  // namespace scpi
