#pragma once
// Input quoted back to the operator in a message: in double quotes, with control
// characters and bytes that are not UTF-8 written as escapes (a NUL as \0), and
// cut after a sensible length, so that a bad line of ten megabytes, or of binary
// bytes, makes a message of one short line.

#include <cstddef>
#include <string>
#include <string_view>

inline constexpr std::size_t kQuotedInputChars = 40;

// "4000.5", "abc\x01\0" or "40000000000000000000000000000000000000000..." (1048576 bytes).
std::string quoted_input(std::string_view text, std::size_t most_chars = kQuotedInputChars);
// The same without the quotes and the size, and with quotes and backslashes as
// they stand: 4000.5, abc\x01\0 or 4000000000...
std::string shown_input(std::string_view text, std::size_t most_chars = kQuotedInputChars);

// The length of the UTF-8 character at the start of text, or 0 when its first
// byte begins none (a stray continuation byte, an overlong or cut sequence).
std::size_t utf8_char_length(std::string_view text);
