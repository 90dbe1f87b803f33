#pragma once

#include <QApplication>
#include <QPointer>
#include <QWidget>

// Gives the keys back to the window that had them once a modal window is gone: on a screen
// without a window manager nothing else would, and every key after it would be lost.
class FocusReturn
{
public:
    FocusReturn()
        : m_window(QApplication::activeWindow())
    {}
    ~FocusReturn()
    {
        if (m_window && m_window->isVisible())
            m_window->activateWindow();
    }
    FocusReturn(const FocusReturn &) = delete;
    FocusReturn &operator=(const FocusReturn &) = delete;

private:
    QPointer<QWidget> m_window;
};
