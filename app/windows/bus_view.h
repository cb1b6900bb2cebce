#pragma once
// The bus view: a burst as a timing diagram of the eight board lines against
// time, one row each, with every bit cell named after the register bit it
// carries and every latch with the word it latches and what that word sets, as
// the chip-side decoder reads them. It shows the last burst written, or before
// any the burst the next press would send, and follows each press.

class QGraphicsScene;
class QWidget;

// Opens the window beside the main panel, or raises it.
void show_bus_view();

// The window and its diagram, for tests and tools; nullptr until it is opened
// (and after the main panel it belongs to is gone).
QWidget* bus_view_window();
QGraphicsScene* bus_view_scene();

// What each drawn item carries, under these keys of QGraphicsItem::data:
//   role   "line-name", "wave" (one per line), "cell" (a bit cell on SDAT),
//          "cell-label", "latch" (the marker at a strobe), "latch-label", "tick"
//   text   the line's name, the cell's register bit ("R5"), the latched word's
//          hex and fields ("0x14AA2A: R 33, ..."), the tick's time
//   byte   the byte the item starts at
//   line   the board line the item belongs to
//   value  a cell's bit, 0 or 1
enum BusViewItemData : int {
    kBusItemRole = 0,
    kBusItemText = 1,
    kBusItemByte = 2,
    kBusItemLine = 3,
    kBusItemValue = 4,
};
