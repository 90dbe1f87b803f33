#include "platform/handsetkeys.h"

#include <QKeyEvent>

int handsetKeyCode(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Minus:
    case Qt::Key_PageDown:
        return HandsetKey::ZoomOut;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
    case Qt::Key_PageUp:
        return HandsetKey::ZoomIn;
    }
    // Qt 6 numbers its special keys from 0x01000000 where the handset's toolkit used 0x1000;
    // printable keys are the same in both.
    constexpr int qtSpecial = 0x01000000;
    if (qtKey >= qtSpecial && qtKey < qtSpecial + 0xF000)
        return HandsetKey::Escape + (qtKey - qtSpecial);
    return qtKey & 0xFFFF;
}

int handsetKeyCode(const QKeyEvent *event)
{
    return handsetKeyCode(event->key());
}
