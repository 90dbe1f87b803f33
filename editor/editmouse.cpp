#include "editor/editinterface.h"

#include "editor/framelayout.h"
#include "platform/handsetkeys.h"

#include <QMouseEvent>
#include <QWheelEvent>

#include <cstdio>

void EditInterface::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = event->position().toPoint();
    const int softKey = FrameLayout::softKeyAt(at);
    if (softKey >= 0) {
        keyPressed(softKey == 0 ? HandsetKey::F9 : HandsetKey::F11);
        return;
    }
    const int tool = FrameLayout::toolAt(at);
    if (editMode != MenuMode || tool < 0)
        return;
    if (tool == toolIndex) {
        keyPressed(HandsetKey::Return);
        return;
    }
    // As the arrow keys move the selection.
    std::puts("menu navigation");
    toolIndex = tool;
    navigateMenu();
}

// One zoom step a notch; the small turns of a touchpad add up to notches.
void EditInterface::wheelEvent(QWheelEvent *event)
{
    constexpr int Notch = 120;
    if (editMode != ViewMode)
        return;
    wheelTurned += event->angleDelta().y();
    for (; wheelTurned >= Notch; wheelTurned -= Notch)
        keyPressed(HandsetKey::ZoomIn);
    for (; wheelTurned <= -Notch; wheelTurned += Notch)
        keyPressed(HandsetKey::ZoomOut);
}
