#pragma once
// The program's own pictures, drawn in code: the panel's background, the maker's
// logo and the two splash pictures, and the program's icon. Names: "background",
// "logo", "splash_top", "splash_bottom", "icon".

#include <cstdint>

// Paints the picture of that name, scaled to width x height, into pixels
// (0xAARRGGBB premultiplied, row by row, starting transparent). Returns false for
// an unknown name or an empty size.
bool paint_artwork(const char* name, int width, int height, uint32_t* pixels);
