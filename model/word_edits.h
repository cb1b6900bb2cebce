#pragma once
// How far a mistyped word is from a name: the edits (a letter added, dropped,
// changed, or two neighbours swapped) from one to the other.

#include <cstddef>
#include <string_view>

// The edits from a to b, counted up to at_most: at_most means that many or more.
std::size_t edits_between(std::string_view a, std::string_view b, std::size_t at_most);
