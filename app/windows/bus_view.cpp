#include "app/windows/bus_view.h"

#include "wire/bitbang_timing.h"
#include "wire/board_lines.h"
#include "wire/burst_trace.h"
#include "wire/vcd.h"
#include "model/version.h"
#include "resource/built_in_resource.h"
#include "app/last_burst.h"
#include "app/main_panel.h"
#include "ui_files/file_io.h"
#include "ui_runtime/ui_runtime.h"
#include "ui_runtime/ui_runtime_qt.h"
#include "app/state_keeping.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QGraphicsLineItem>
#include <QGraphicsPathItem>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsView>
#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <iterator>

namespace {

// Layout of the diagram, in scene pixels.
constexpr double kNameWidth = 90.0;    // the lines' names, left of time 0
constexpr double kAxisHeight = 34.0;   // the time axis on top
constexpr double kRowHeight = 46.0;
constexpr double kHigh = 18.0;         // a line's high level, from its row's top
constexpr double kLow = 38.0;          // and its low level
constexpr double kLabelBand = 14.0;    // a second row of cell labels, above SDAT's
constexpr double kLatchLine = 16.0;    // one line of the latched words, under the rows
constexpr double kLatchBand = 3 * kLatchLine + 8;
constexpr double kSmallestByte = 4.0;  // the zoom's limits: pixels a byte
constexpr double kLargestByte = 160.0;
constexpr double kZoomStep = 1.5;

std::size_t row_of(uint8_t mask)
{
    for (std::size_t i = 0; i < std::size(kBoardLines); ++i)
        if (kBoardLines[i].mask == mask)
            return i;
    return 0;
}

// The rows from SDAT's down stand under a band for a second row of cell labels.
double row_top(std::size_t row)
{
    return kAxisHeight + static_cast<double>(row) * kRowHeight + (row >= row_of(SDAT) ? kLabelBand : 0.0);
}

double line_of_mask_top(uint8_t mask)
{
    return row_top(row_of(mask));
}

// "1 228 800"
QString grouped(long long n)
{
    QString digits = QString::number(n);
    for (int i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, QChar(' '));
    return digits;
}

QString microseconds(double seconds)
{
    return QString::number(seconds * 1e6, 'f', 2) + QStringLiteral(" µs");
}

QColor word_colour(WordKind kind)
{
    switch (kind) {
    case WordKind::Main: return QColor(0xD6, 0xE6, 0xF7);
    case WordKind::Auxiliary: return QColor(0xD9, 0xF0, 0xD3);
    case WordKind::Enhancement: return QColor(0xF9, 0xE2, 0xC4);
    case WordKind::Unknown: break;
    }
    return QColor(0xE8, 0xE8, 0xE8);
}

void tag(QGraphicsItem* item, const char* role, const QString& text, std::size_t byte, const char* line)
{
    item->setData(kBusItemRole, QString::fromLatin1(role));
    item->setData(kBusItemText, text);
    item->setData(kBusItemByte, static_cast<qulonglong>(byte));
    item->setData(kBusItemLine, QString::fromLatin1(line));
}

// The diagram itself: the wheel with Ctrl zooms, without it scrolls.
class Diagram : public QGraphicsView {
public:
    explicit Diagram(QGraphicsScene* scene, QWidget* parent) : QGraphicsView(scene, parent) {}
    std::function<void(bool)> zoom;

protected:
    void wheelEvent(QWheelEvent* event) override
    {
        if ((event->modifiers() & Qt::ControlModifier) && zoom) {
            zoom(event->angleDelta().y() > 0);
            event->accept();
            return;
        }
        QGraphicsView::wheelEvent(event);
    }
};

class BusView : public QWidget {
public:
    explicit BusView(QWidget* parent);
    // The scene goes before the view, which is a child widget: its items are
    // freed first, and the view's scroll bar then moves once more.
    ~BusView() override { names_ = nullptr; }

    // Shows the last burst written, or the burst the next press would send.
    void refresh();
    QGraphicsScene* scene() { return &scene_; }

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void draw();
    void draw_axis(double width);
    void draw_lines();
    void draw_cells();
    void draw_latches();
    void keep_names_in_view();
    void zoom(bool in);
    void fit();
    void export_picture();
    void export_vcd();

    double x_of(std::size_t byte) const { return kNameWidth + static_cast<double>(byte) * byte_width_; }

    QGraphicsScene scene_;
    // The column of the lines' names, over the diagram at the left of the view.
    QGraphicsRectItem* names_ = nullptr;
    Diagram* view_ = nullptr;
    QLabel* header_ = nullptr;
    QLabel* rate_ = nullptr;
    QLabel* fault_ = nullptr;
    BurstTrace trace_;
    bool sent_ = false;  // a burst written, not the next press's
    bool fitted_ = false;
    double byte_width_ = 12.0;  // pixels a byte
};

QPointer<BusView> the_view;

void burst_written()
{
    if (the_view)
        the_view->refresh();
}

BusView::BusView(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("BusView"));
    setWindowTitle(QStringLiteral("%1 - Bus view").arg(QString::fromLatin1(kProgramName)));
    auto* layout = new QVBoxLayout(this);
    header_ = new QLabel(this);
    header_->setObjectName(QStringLiteral("BusViewHeader"));
    rate_ = new QLabel(this);
    rate_->setObjectName(QStringLiteral("BusViewRate"));
    rate_->setWordWrap(true);
    rate_->setText(QStringLiteral("Time: the pins take %1 bytes a second, %2 times the %3 baud set (as %4 gives "
                                  "it for the %5 in asynchronous bit-bang mode), so one byte lasts %6 µs.")
                       .arg(grouped(std::llround(kPinUpdateRate)))
                       .arg(kPinUpdatesPerBaud)
                       .arg(grouped(kBitBangBaudRate))
                       .arg(QString::fromLatin1(kPinRateSource), QString::fromLatin1(kPinRateChipFamily),
                            QString::number(byte_time(1) * 1e6, 'f', 3)));
    fault_ = new QLabel(this);
    fault_->setObjectName(QStringLiteral("BusViewFault"));
    fault_->setStyleSheet(QStringLiteral("color: #a00000"));
    fault_->setWordWrap(true);
    view_ = new Diagram(&scene_, this);
    view_->setObjectName(QStringLiteral("BusViewDiagram"));
    view_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    view_->setRenderHint(QPainter::Antialiasing);
    view_->zoom = [this](bool in) { zoom(in); };
    connect(view_->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { keep_names_in_view(); });

    auto* buttons = new QHBoxLayout;
    auto add_button = [&](const char* name, const QString& text, auto action) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, action);
        buttons->addWidget(b);
        return b;
    };
    add_button("BusViewZoomIn", QStringLiteral("Zoom &in"), [this] { zoom(true); });
    add_button("BusViewZoomOut", QStringLiteral("Zoom &out"), [this] { zoom(false); });
    add_button("BusViewFit", QStringLiteral("&Whole burst"), [this] { fit(); });
    buttons->addStretch(1);
    add_button("BusViewExportPicture", QStringLiteral("Export &PNG..."), [this] { export_picture(); });
    add_button("BusViewExportVcd", QStringLiteral("Export &VCD..."), [this] { export_vcd(); });
    add_button("BusViewClose", QStringLiteral("&Close"), [this] { close(); });

    layout->addWidget(header_);
    layout->addWidget(rate_);
    layout->addWidget(fault_);
    layout->addWidget(view_, 1);
    layout->addLayout(buttons);
    resize(1000, 560);
}

bool BusView::event(QEvent* e)
{
    // Until a burst is written the view shows what the next press would send:
    // what the panel holds when the operator comes back to the view.
    if (e->type() == QEvent::WindowActivate && !sent_)
        refresh();
    const bool handled = QWidget::event(e);
    // The whole burst fills the window it is first shown in.
    if (e->type() == QEvent::Show && !fitted_) {
        fitted_ = true;
        fit();
    }
    return handled;
}

void BusView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void BusView::refresh()
{
    std::vector<uint8_t> bytes;
    const WrittenBurst* written = last_burst_written();
    QString header;
    if (!written) {
        bytes = next_press_burst();
        header = QStringLiteral("Not sent yet: the burst the next press of \"Program Device\" would send");
    } else if (written->taken >= written->bytes.size()) {
        bytes = written->bytes;
        header = QStringLiteral("The last burst written");
    } else if (written->taken == 0) {
        bytes = written->bytes;
        header = QStringLiteral("The last press's write failed, nothing reached the board: the burst it would have "
                                "put on the lines");
    } else {
        bytes.assign(written->bytes.begin(), written->bytes.begin() + static_cast<std::ptrdiff_t>(written->taken));
        header = QStringLiteral("The last press's write was short: the %1 of its %2 bytes the board took")
                     .arg(written->taken)
                     .arg(written->bytes.size());
    }
    sent_ = written != nullptr;
    header += QStringLiteral(", %1 bytes, %2.").arg(bytes.size()).arg(microseconds(byte_time(bytes.size())));
    header_->setText(header);
    trace_ = trace_burst(bytes);
    fault_->setText(trace_.fault.empty() ? QString()
                                         : QStringLiteral("The chip would see a fault: %1.")
                                               .arg(QString::fromStdString(trace_.fault)));
    fault_->setVisible(!trace_.fault.empty());
    draw();
}

void BusView::draw()
{
    names_ = nullptr;
    scene_.clear();
    const double width = static_cast<double>(trace_.bytes.size()) * byte_width_;
    draw_axis(width);
    draw_cells();
    draw_lines();
    draw_latches();
    const double height = row_top(std::size(kBoardLines)) + kLatchBand;
    // Room on the right for the last latch's words.
    scene_.setSceneRect(scene_.itemsBoundingRect().united(QRectF(0, 0, kNameWidth + width + 20, height)));
    keep_names_in_view();
}

void BusView::keep_names_in_view()
{
    if (names_)
        names_->setX(std::max(0.0, view_->mapToScene(QPoint(0, 0)).x()));
}

void BusView::draw_axis(double width)
{
    // Ticks at a round number of microseconds, at least 70 pixels apart.
    const double pixels_per_us = byte_width_ * kPinUpdateRate / 1e6;
    double step = 0.1;
    for (double s : {0.1, 0.2, 0.5, 1.0, 2.0, 5.0, 10.0, 20.0, 50.0, 100.0})
        if (s * pixels_per_us >= 70.0) {
            step = s;
            break;
        }
    const QPen axis_pen(QColor(0x80, 0x80, 0x80));
    scene_.addLine(kNameWidth, kAxisHeight - 6, kNameWidth + width, kAxisHeight - 6, axis_pen);
    for (int n = 0;; ++n) {
        const double us = n * step;
        const double x = kNameWidth + us * pixels_per_us;
        if (x > kNameWidth + width + 0.5)
            break;
        QGraphicsLineItem* tick = scene_.addLine(x, kAxisHeight - 10, x, kAxisHeight - 2, axis_pen);
        const QString text = QString::number(us, 'g', 6) + QStringLiteral(" µs");
        tag(tick, "tick", text, static_cast<std::size_t>(std::llround(us * 1e-6 * kPinUpdateRate)), "");
        QGraphicsSimpleTextItem* label = scene_.addSimpleText(text);
        label->setPos(std::max(kNameWidth, x - label->boundingRect().width() / 2), 2);
        tag(label, "tick", text, 0, "");
    }
}

void BusView::draw_lines()
{
    const QPen wave_pen(QColor(0x10, 0x40, 0x90), 1.6);
    // The names stand on a column of their own over everything else, which keeps
    // to the left edge of the view as it scrolls along time.
    names_ = scene_.addRect(QRectF(0, 0, kNameWidth, row_top(std::size(kBoardLines)) + kLatchBand), Qt::NoPen,
                            QBrush(Qt::white));
    names_->setZValue(10);
    for (std::size_t i = 0; i < std::size(kBoardLines); ++i) {
        const BoardLine& line = kBoardLines[i];
        const double top = row_top(i);
        auto* name = new QGraphicsSimpleTextItem(QString::fromLatin1(line.name), names_);
        name->setPos(6, top + (kHigh + kLow) / 2 - name->boundingRect().height() / 2);
        tag(name, "line-name", QString::fromLatin1(line.name), 0, line.name);

        // The low level, faint, so that a line held high reads as high.
        scene_.addLine(x_of(0), top + kLow, x_of(trace_.bytes.size()), top + kLow,
                       QPen(QColor(0xD8, 0xD8, 0xD8), 1, Qt::DotLine));
        QPainterPath path;
        for (std::size_t n = 0; n < trace_.bytes.size(); ++n) {
            const double y = top + ((trace_.bytes[n] & line.mask) ? kHigh : kLow);
            if (n == 0)
                path.moveTo(x_of(0), y);
            else
                path.lineTo(x_of(n), y);
            path.lineTo(x_of(n + 1), y);
        }
        QGraphicsPathItem* wave = scene_.addPath(path, wave_pen);
        tag(wave, "wave", QString::fromLatin1(line.name), 0, line.name);
    }
}

void BusView::draw_cells()
{
    const double top = line_of_mask_top(SDAT);
    QFont small;
    small.setPointSizeF(small.pointSizeF() * 0.8);
    // Labels too wide for their cells alternate between two rows.
    double widest = 0.0;
    for (const TraceCell& c : trace_.cells)
        widest = std::max(widest, QFontMetricsF(small).horizontalAdvance(QString::fromStdString(c.label)));
    const bool alternate = 2 * byte_width_ < widest + 4;
    for (std::size_t i = 0; i < trace_.cells.size(); ++i) {
        const TraceCell& c = trace_.cells[i];
        const WordKind kind = c.latch >= 0 ? trace_.latches[static_cast<std::size_t>(c.latch)].kind
                                           : WordKind::Unknown;
        const QRectF cell(x_of(c.first_byte), top + kHigh - 3, x_of(c.clock_byte + 1) - x_of(c.first_byte),
                          kLow - kHigh + 6);
        QGraphicsRectItem* rect = scene_.addRect(cell, QPen(QColor(0xB0, 0xB0, 0xB0)), QBrush(word_colour(kind)));
        rect->setZValue(-1);
        tag(rect, "cell", QString::fromStdString(c.label), c.first_byte, "SDAT");
        rect->setData(kBusItemValue, c.value);
        rect->setToolTip(c.label.empty() ? QStringLiteral("bit %1, taken by no latch").arg(c.value)
                                         : QStringLiteral("%1 = %2").arg(QString::fromStdString(c.label)).arg(c.value));
        if (c.label.empty())
            continue;
        QGraphicsSimpleTextItem* label = scene_.addSimpleText(QString::fromStdString(c.label), small);
        const double y = alternate && i % 2 == 0 ? top + 1 - kLabelBand : top + 1;
        label->setPos(cell.center().x() - label->boundingRect().width() / 2, y);
        tag(label, "cell-label", QString::fromStdString(c.label), c.first_byte, "SDAT");
        label->setData(kBusItemValue, c.value);
    }
}

void BusView::draw_latches()
{
    const double band = row_top(std::size(kBoardLines)) + 4;
    double taken_to = -1.0;  // the right end of the last label
    int line = 0;
    for (const TraceLatch& l : trace_.latches) {
        const bool enhancement = l.kind == WordKind::Enhancement;
        const char* strobe = enhancement ? "E_WR" : "S_WR";
        const double x = x_of(l.byte);
        const QString text = QString::fromStdString(l.hex + ": " + l.fields);
        QGraphicsSimpleTextItem* label =
            scene_.addSimpleText(QStringLiteral("%1 latches %2 word %3")
                                     .arg(QString::fromLatin1(strobe), QString::fromLatin1(word_kind_name(l.kind)),
                                          text));
        label->setBrush(QColor(0xA0, 0x20, 0x20));
        // Under its strobe, but within the burst where there is room; a label
        // that would run into the one before goes a line lower.
        const double end = x_of(trace_.bytes.size());
        const double w = label->boundingRect().width();
        const double left = std::max(kNameWidth, std::min(x - w / 2, end - w));
        line = left < taken_to + 8 ? (line + 1) % 3 : 0;
        label->setPos(left, band + 6 + line * kLatchLine);
        taken_to = left + w;
        tag(label, "latch-label", text, l.byte, strobe);

        QGraphicsLineItem* marker =
            scene_.addLine(x, line_of_mask_top(enhancement ? E_WR : S_WR) + kHigh - 4, x, band + 6 + line * kLatchLine,
                           QPen(QColor(0xC0, 0x30, 0x30), 1, Qt::DashLine));
        tag(marker, "latch", QString::fromStdString(l.hex), l.byte, strobe);
    }
}

void BusView::zoom(bool in)
{
    const double centre = (view_->mapToScene(view_->viewport()->rect().center()).x() - kNameWidth) / byte_width_;
    byte_width_ = std::clamp(in ? byte_width_ * kZoomStep : byte_width_ / kZoomStep, kSmallestByte, kLargestByte);
    draw();
    view_->centerOn(kNameWidth + centre * byte_width_, view_->mapToScene(view_->viewport()->rect().center()).y());
}

void BusView::fit()
{
    const double room = std::max(200, view_->viewport()->width() - 40) - kNameWidth;
    const double bytes = std::max<double>(1.0, static_cast<double>(trace_.bytes.size()));
    byte_width_ = std::clamp(room / bytes, kSmallestByte, kLargestByte);
    draw();
    view_->horizontalScrollBar()->setValue(view_->horizontalScrollBar()->minimum());
}

void BusView::export_picture()
{
    std::string path;
    if (FileSelectPopup(".", "burst.png", "Export the bus view as a picture", &path, "PNG pictures (*.png)") != 1 ||
        refused_as_own_file(path, "Export PNG", "the picture"))
        return;
    const QRectF area = scene_.sceneRect();
    QImage image(area.size().toSize(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    {
        // The picture is of the whole burst, with the names at its start.
        if (names_)
            names_->setX(0);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        scene_.render(&painter, QRectF(QPointF(0, 0), area.size()), area);
        keep_names_in_view();
    }
    if (!image.save(QString::fromStdString(path), "PNG")) {
        std::snprintf(buf, kBufSize, "The picture could not be written to %s.", path.c_str());
        MessagePopup("Export PNG", buf);
    }
}

void BusView::export_vcd()
{
    std::string path;
    if (FileSelectPopup(".", "burst.vcd", "Export the burst as a Value Change Dump", &path,
                        "Value Change Dumps (*.vcd)") != 1 ||
        refused_as_own_file(path, "Export VCD", "the burst"))
        return;
    std::string why;
    const std::string writer = std::string(kProgramName) + " " + ZR_VERSION;
    if (!replace_file(path, value_change_dump(trace_.bytes, kPinUpdateRate, writer), &why)) {
        std::snprintf(buf, kBufSize, "The burst could not be written to %s: %s.", path.c_str(), why.c_str());
        MessagePopup("Export VCD", buf);
    }
}

}  // namespace

void show_bus_view()
{
    if (!the_view) {
        the_view = new BusView(PanelWindow(MainPanelHandle));
        ResizeWithinScreen(the_view, the_view->size());
        on_burst_written(burst_written);
    }
    the_view->refresh();
    the_view->show();
    the_view->raise();
    the_view->activateWindow();
}

QWidget* bus_view_window()
{
    return the_view;
}

QGraphicsScene* bus_view_scene()
{
    return the_view ? the_view->scene() : nullptr;
}
