#include "editor/editinterface.h"

#include "browser/pxgui.h"
#include "editor/infoline.h"
#include "platform/handsetkeys.h"

#include <QApplication>
#include <QKeyEvent>

#include <cstdio>

// Every key ends here; the editor has nothing to pass one on to.
void EditInterface::keyPressEvent(QKeyEvent *event)
{
    const int key = handsetKeyCode(event);
    switch (editMode) {
    case ViewMode:
        viewKeyPressed(key);
        break;
    case MenuMode:
        menuKeyPressed(key);
        break;
    case CursorMode:
        cursorKeyPressed(key);
        break;
    default:
        if (key == HandsetKey::F11)
            QApplication::quit();
        break;
    }
}

// The cursor moves while its key is held.
void EditInterface::keyReleaseEvent(QKeyEvent *event)
{
    if (editMode != CursorMode)
        return;
    switch (handsetKeyCode(event)) {
    case HandsetKey::Left:
        leftPressed = false;
        break;
    case HandsetKey::Up:
        upPressed = false;
        break;
    case HandsetKey::Right:
        rightPressed = false;
        break;
    case HandsetKey::Down:
        downPressed = false;
        break;
    }
}

void EditInterface::viewKeyPressed(int key)
{
    switch (key) {
    case HandsetKey::Down:
        viewMoveDown();
        break;
    case HandsetKey::Up:
        viewMoveUp();
        break;
    case HandsetKey::Left:
        viewMoveLeft();
        break;
    case HandsetKey::Right:
        viewMoveRight();
        break;
    case HandsetKey::ZoomOut:
        zoomOut();
        break;
    case HandsetKey::ZoomIn:
        zoomIn();
        break;
    case HandsetKey::Return:
        setMenuPanel();
        return;
    case HandsetKey::F9:
        showBrowser();
        return;
    case HandsetKey::F11:
        browser->fileSaveAs();
        showBrowser();
        [[fallthrough]];
    default:
        std::printf("key code is %d\n", key);
        return;
    }
    // Also after a pan or zoom that changed nothing.
    redrawView();
}

void EditInterface::menuKeyPressed(int key)
{
    std::puts("menu navigation");
    constexpr int count = ToolTable::Count;
    constexpr int GridColumns = ToolTable::GridColumns;
    switch (key) {
    case HandsetKey::Left:
        toolIndex = (toolIndex + count - 1) % count;
        break;
    case HandsetKey::Right:
        toolIndex = (toolIndex + 1) % count;
        break;
    // Up and Down stay in the column and wrap between the top and the bottom row.
    case HandsetKey::Up:
        toolIndex += toolIndex >= GridColumns ? -GridColumns : count - GridColumns;
        break;
    case HandsetKey::Down:
        toolIndex += toolIndex + GridColumns < count ? GridColumns : GridColumns - count;
        break;
    case HandsetKey::Return:
        useTool();
        return;
    case HandsetKey::F9:
        showBrowser();
        return;
    case HandsetKey::F11:
        initViewPicture();
        return;
    default:
        return;
    }
    navigateMenu();
}

// The keys only set state here; the cursor's next tick draws it.
void EditInterface::cursorKeyPressed(int key)
{
    switch (key) {
    case HandsetKey::Up:
        upPressed = true;
        break;
    case HandsetKey::Down:
        downPressed = true;
        break;
    case HandsetKey::Left:
        leftPressed = true;
        break;
    case HandsetKey::Right:
        rightPressed = true;
        break;
    case HandsetKey::Return:
        if (!rectStarted) {
            rectStart = mousePos - QPoint(blitX, blitY) + QPoint(topLeftX, topLeftY);
            rectStarted = true;
            if (!mouseTimer.isActive())
                mouseTimer.start(20);
            break;
        }
        // A second Return crops, as the soft key does.
        [[fallthrough]];
    case HandsetKey::F9:
        if (rectStarted) {
            mouseTimer.stop();
            rectStarted = false;
            execCommand();
        }
        break;
    case HandsetKey::F11:
        mouseTimer.stop();
        setMenuPanel();
        break;
    }
}

void EditInterface::redrawView()
{
    // zoomIn() at its limit leaves the frame as it was, texts included, so the line goes on a
    // fresh frame rather than over the last one.
    blitPicToBuffer();
    drawTextInfo(scaleText + u':' + scaleValue(scale), QString(), browserText, saveText);
    showFrame();
}

void EditInterface::showBrowser()
{
    browser->show();
    hide();
}
