// Draws the program's icon with the program's own artwork and writes it as a
// PNG file: export_icon FILE SIZE. Run at build time for the desktop menu.
#include "app/artwork.h"

#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: export_icon FILE SIZE\n");
        return 1;
    }
    // Text needs a font database, which needs an application; no display is used.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int size = std::atoi(argv[2]);
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (size <= 0 || !paint_artwork("icon", size, size, reinterpret_cast<uint32_t*>(image.bits())) ||
        !image.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "export_icon: %s not written\n", argv[1]);
        return 1;
    }
    return 0;
}
