#pragma once

class QKeyEvent;

// Key codes as the handset reports them: 16-bit codes of the toolkit generation the handset
// runs, plus two keys of its own for zooming.
namespace HandsetKey {
enum Code : int {
    Escape = 0x1000,
    Backspace = 0x1003,
    Return = 0x1004,
    Enter = 0x1005,
    Left = 0x1012,
    Up = 0x1013,
    Right = 0x1014,
    Down = 0x1015,
    F9 = 0x1038,
    F11 = 0x103A,
    LetterU = 'U',
    ZoomOut = 0x4004,
    ZoomIn = 0x4005,
};
} // namespace HandsetKey

// Translates a Qt 6 key into the handset's code. The zoom keys sit on "-" and PageDown (out),
// "+", "=" and PageUp (in) of a desktop keyboard.
int handsetKeyCode(int qtKey);
int handsetKeyCode(const QKeyEvent *event);
