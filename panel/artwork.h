#pragma once
#include <QPixmap>
#include <string>
// Paints one of the program's own pictures at the given size. Names:
// "background", "logo", "splash_top", "splash_bottom". An unknown name gives a null pixmap.
QPixmap draw_artwork(const std::string& name, int width, int height);
