#pragma once

#include <QRect>
#include <QSize>

// Geometry of the handset screen: a 320 x 240 landscape display with a title bar at the top and
// a softkey bar at the bottom of every window.
class ZGlobal
{
public:
    static constexpr int ScreenWidth = 320;
    static constexpr int ScreenHeight = 240;
    static constexpr int TitleBarHeight = 22;
    static constexpr int SoftKeyHeight = 26;

    static QSize screenSize() { return {ScreenWidth, ScreenHeight}; }

    // The part of a window between its title bar and its softkey bar, in window coordinates.
    // The flag selects a full-screen layout on the handset; this screen has only one.
    static QRect getContentR(bool = false)
    {
        return {0, TitleBarHeight, ScreenWidth, ScreenHeight - TitleBarHeight - SoftKeyHeight};
    }
};
