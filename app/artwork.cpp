#include "app/artwork.h"

#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

// Every picture is designed on a fixed canvas (its normal size in the panel) and
// scaled to whatever size is asked for, so the layout stays the same at any size.

namespace {

const QColor kNavy(13, 34, 64);
const QColor kTeal(14, 112, 122);

QFont dejavu(int pixels, bool bold, qreal letter_spacing = 0)
{
    QFont font("DejaVu Sans");
    font.setPixelSize(pixels);
    font.setBold(bold);
    if (letter_spacing != 0)
        font.setLetterSpacing(QFont::AbsoluteSpacing, letter_spacing);
    return font;
}

// A sine wave of the given number of cycles running across the box.
QPainterPath sine_path(const QRectF& box, double cycles, double phase = 0)
{
    QPainterPath path;
    const int steps = 160;
    for (int i = 0; i <= steps; ++i) {
        const double t = double(i) / steps;
        const double y = box.center().y() - std::sin(phase + t * cycles * 2 * std::numbers::pi) * box.height() / 2;
        const QPointF p(box.left() + t * box.width(), y);
        if (i == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    return path;
}

// The maker's mark: three concentric arcs open to the right, like a "C", with a
// sine wave leaving the centre dot through the opening.
void draw_mark(QPainter& p, const QRectF& box, const QColor& color)
{
    p.save();
    const QPointF c = box.center();
    const double r = std::min(box.width(), box.height()) / 2;
    const double stroke = r * 0.13;
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(color, stroke, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 3; ++i) {
        const double ri = r - stroke / 2 - i * r * 0.29;
        // The opening widens towards the centre so the wave passes clear of the arc ends.
        const int half_gap = 40 + 10 * i;
        p.drawArc(QRectF(c.x() - ri, c.y() - ri, 2 * ri, 2 * ri), half_gap * 16, (360 - 2 * half_gap) * 16);
    }
    p.setPen(QPen(color, stroke * 0.75, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(sine_path(QRectF(c.x(), c.y() - r * 0.16, r, r * 0.32), 1.5));
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(c, stroke * 0.85, stroke * 0.85);
    p.restore();
}

// One block of the loop diagram: a rounded box with its short name in the middle.
void diagram_block(QPainter& p, const QRectF& box, const QString& label)
{
    p.drawRoundedRect(box, 4, 4);
    p.drawText(box, Qt::AlignCenter, label);
}

// A line with a small filled arrow head at its end.
void arrow(QPainter& p, QPointF from, QPointF to)
{
    p.drawLine(from, to);
    const QPointF d = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
    const QPointF n(-d.y(), d.x());
    const QPointF head[3] = {to, to - d * 6 + n * 3, to - d * 6 - n * 3};
    p.save();
    p.setBrush(p.pen().color());
    p.drawPolygon(head, 3);
    p.restore();
}

// Main window background: a pale cool gradient with a faint graph-paper grid,
// and a very faint drawing of the synthesizer loop on the right. Black text and
// controls sit on top of it everywhere, so everything here stays low in contrast.
void paint_background(QPainter& p)
{
    const QRectF all(0, 0, 801, 584);
    QLinearGradient fill(0, 0, 0, 584);
    fill.setColorAt(0, QColor(248, 250, 253));
    fill.setColorAt(1, QColor(229, 235, 242));
    p.fillRect(all, fill);

    // Graph paper: fine lines every 10 pixels, slightly stronger every 50.
    for (int x = 10; x < 801; x += 10) {
        p.setPen(QPen(QColor(40, 80, 130, x % 50 == 0 ? 18 : 9), 1));
        p.drawLine(QPointF(x + 0.5, 0), QPointF(x + 0.5, 584));
    }
    for (int y = 10; y < 584; y += 10) {
        p.setPen(QPen(QColor(40, 80, 130, y % 50 == 0 ? 18 : 9), 1));
        p.drawLine(QPointF(0, y + 0.5), QPointF(801, y + 0.5));
    }

    // The loop: reference divider, phase detector, loop filter and oscillator in
    // a row, with the feedback divider underneath bringing the output back.
    // Drawn in one pale solid colour rather than with transparency, so places
    // where lines and arrow heads overlap do not add up to darker spots.
    p.save();
    p.setPen(QPen(QColor(188, 201, 217), 1.4));
    p.setBrush(Qt::NoBrush);
    p.setFont(dejavu(11, true));
    const double y = 204, h = 30, w = 42, gap = 20;
    const char* names[4] = {"R", "PD", "LF", "VCO"};
    QRectF blocks[4];
    for (int i = 0; i < 4; ++i) {
        blocks[i] = QRectF(522 + i * (w + gap), y, w, h);
        diagram_block(p, blocks[i], names[i]);
        if (i > 0)
            arrow(p, QPointF(blocks[i - 1].right(), y + h / 2), QPointF(blocks[i].left(), y + h / 2));
    }
    arrow(p, QPointF(500, y + h / 2), QPointF(blocks[0].left(), y + h / 2));
    const double out_x = blocks[3].right() + 16;
    arrow(p, QPointF(blocks[3].right(), y + h / 2), QPointF(out_x + 12, y + h / 2));
    const QRectF n_block(blocks[2].left() - 10, 266, w + 20, h);
    diagram_block(p, n_block, "N");
    const double fb_y = n_block.center().y();
    p.drawLine(QPointF(out_x, y + h / 2), QPointF(out_x, fb_y));
    arrow(p, QPointF(out_x, fb_y), QPointF(n_block.right(), fb_y));
    p.drawLine(QPointF(n_block.left(), fb_y), QPointF(blocks[1].center().x(), fb_y));
    arrow(p, QPointF(blocks[1].center().x(), fb_y), QPointF(blocks[1].center().x(), blocks[1].bottom()));
    p.restore();

    p.setPen(QPen(QColor(150, 165, 182), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(all.adjusted(0.5, 0.5, -0.5, -0.5));
}

// Maker's logo: the mark on the left, the word in wide bold letters and a
// thin tagline underneath, on a white card with rounded corners.
void paint_logo(QPainter& p)
{
    const QRectF card(0.5, 0.5, 251, 75);
    p.setPen(QPen(QColor(196, 206, 218), 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(card, 9, 9);
    draw_mark(p, QRectF(12, 10, 56, 56), kTeal);
    p.setPen(kNavy);
    p.setFont(dejavu(29, true, 1.5));
    p.drawText(QRectF(78, 10, 170, 38), Qt::AlignLeft | Qt::AlignBottom, "CORVANE");
    p.setPen(kTeal);
    p.setFont(dejavu(10, false, 4.2));
    p.drawText(QRectF(80, 49, 170, 16), Qt::AlignLeft | Qt::AlignVCenter, "RF SYNTHESIS");
}

// The dark band used at the top and bottom of the splash window.
void splash_band(QPainter& p, double width, double height, bool flipped)
{
    QLinearGradient fill(0, flipped ? height : 0, width, flipped ? 0 : height);
    fill.setColorAt(0, kNavy);
    fill.setColorAt(1, kTeal);
    p.fillRect(QRectF(0, 0, width, height), fill);
}

// Top of the splash window: the band, a faint sine trace, the mark and the word in white.
// The maker's mark alone on a square card: the program's icon in desktop menus.
void paint_icon(QPainter& p)
{
    p.setPen(QPen(QColor(196, 206, 218), 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(0.5, 0.5, 63, 63), 12, 12);
    draw_mark(p, QRectF(6, 6, 52, 52), kTeal);
}

void paint_splash_top(QPainter& p)
{
    splash_band(p, 320, 111, false);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 34), 1.5));
    p.drawPath(sine_path(QRectF(0, 22, 320, 66), 2.5, 0.6));
    p.setPen(QPen(QColor(255, 255, 255, 20), 1));
    p.drawPath(sine_path(QRectF(0, 34, 320, 42), 4.0, 2.0));
    draw_mark(p, QRectF(38, 28, 56, 56), Qt::white);
    p.setPen(Qt::white);
    p.setFont(dejavu(30, true, 1.5));
    p.drawText(QRectF(106, 24, 210, 40), Qt::AlignLeft | Qt::AlignBottom, "CORVANE");
    p.setPen(QColor(190, 230, 232));
    p.setFont(dejavu(10, false, 4.2));
    p.drawText(QRectF(108, 64, 210, 16), Qt::AlignLeft | Qt::AlignVCenter, "RF SYNTHESIS");
}

// Bottom of the splash window: the band with a frequency-scale row of ticks and
// the product line in small white letters.
void paint_splash_bottom(QPainter& p)
{
    splash_band(p, 320, 70, true);
    for (int i = 0; i <= 40; ++i) {
        const double x = 10 + i * 7.5;
        const double len = i % 10 == 0 ? 12 : (i % 5 == 0 ? 8 : 4);
        p.setPen(QPen(QColor(255, 255, 255, i % 5 == 0 ? 110 : 60), 1));
        p.drawLine(QPointF(x, 8), QPointF(x, 8 + len));
    }
    p.setPen(QPen(QColor(255, 255, 255, 60), 1));
    p.drawLine(QPointF(10, 8.5), QPointF(310, 8.5));
    p.setPen(Qt::white);
    p.setFont(dejavu(12, false, 0.5));
    p.drawText(QRectF(0, 30, 320, 30), Qt::AlignCenter, QString::fromUtf8("ZR3100 \u00b7 ZR3500 Evaluation"));
}

} // namespace

bool paint_artwork(const char* name, int width, int height, uint32_t* pixels)
{
    struct Picture {
        const char* name;
        int width, height;
        void (*paint)(QPainter&);
    };
    static const Picture pictures[] = {
        {"background", 801, 584, paint_background},
        {"logo", 252, 76, paint_logo},
        {"splash_top", 320, 111, paint_splash_top},
        {"splash_bottom", 320, 70, paint_splash_bottom},
        {"icon", 64, 64, paint_icon},
    };
    if (width <= 0 || height <= 0 || !name || !pixels)
        return false;
    for (const Picture& picture : pictures) {
        if (std::strcmp(name, picture.name) != 0)
            continue;
        QImage image(reinterpret_cast<uchar*>(pixels), width, height, width * 4,
                     QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.scale(double(width) / picture.width, double(height) / picture.height);
        picture.paint(painter);
        painter.end();
        return true;
    }
    return false;
}
