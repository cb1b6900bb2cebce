#pragma once
// The Status box of the main panel, where board messages are appended.

// Formats a message into the shared buffer and appends it to the Status box.
// Messages end with their own line feed.
void append_status(const char* format, ...) __attribute__((format(printf, 1, 2)));
