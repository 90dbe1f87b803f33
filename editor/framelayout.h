#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where things lie on the editor's 320 x 240 frame: the three text areas of the overlay and the
// tool menu panel, and which of them a point of the frame falls on.
namespace FrameLayout {

// The overlay's text areas: the information line, a message, the two soft-key captions.
constexpr QRect InfoTop(QPoint(0, 0), QPoint(319, 29));
constexpr QRect InfoMiddle(QPoint(0, 60), QPoint(319, 179));
constexpr QRect InfoBottom(QPoint(0, 210), QPoint(319, 239));

// The tool menu: the name strip above a grid of 48 x 48 cells, five a row.
constexpr QPoint TitleStripAt(40, 30);
constexpr QSize TitleStripSize(240, 30);
constexpr QPoint GridAt(40, 60);
constexpr int CellSize = 48;
constexpr int GridColumns = 5;
constexpr int GridRows = 3;
// Where the selected tool's name starts: its baseline in the name strip.
constexpr QPoint ToolNameAt(45, 50);

// The cell of a tool in the grid.
QRect cellOf(int tool);
// The tool whose cell holds the point, or -1.
int toolAt(QPoint point);
// The soft key whose caption's half of the bottom strip holds the point (0 the left, 1 the
// right), or -1.
int softKeyAt(QPoint point);

} // namespace FrameLayout
