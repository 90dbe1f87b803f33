#include "editor/framelayout.h"

namespace FrameLayout {

QRect cellOf(int tool)
{
    return QRect(GridAt + QPoint(tool % GridColumns, tool / GridColumns) * CellSize,
                 QSize(CellSize, CellSize));
}

int toolAt(QPoint point)
{
    const QRect grid(GridAt, QSize(GridColumns, GridRows) * CellSize);
    if (!grid.contains(point))
        return -1;
    const QPoint inGrid = point - GridAt;
    return inGrid.y() / CellSize * GridColumns + inGrid.x() / CellSize;
}

int softKeyAt(QPoint point)
{
    if (!InfoBottom.contains(point))
        return -1;
    return point.x() < InfoBottom.center().x() ? 0 : 1;
}

} // namespace FrameLayout
