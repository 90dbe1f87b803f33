#include "editor/editinterface.h"

#include "browser/pxgui.h"
#include "editor/framelayout.h"
#include "editor/infoline.h"
#include "platform/handsetkeys.h"

#include <QApplication>
#include <QKeyEvent>

#include <cstdio>

// The editor's modes and every way between them. A mode is entered only through enterMode(),
// which owns the timers and draws the mode's frame.
//
//   from          event                                  to
//   NoMode        a picture is chosen in the browser     LoadMode
//   NoMode        F11                                    (the program ends)
//   LoadMode      the view timer's tick                  ViewMode
//   ViewMode      Return                                 MenuMode (on the crop)
//   ViewMode      F9, F11                                (browser shown; the mode stays)
//   MenuMode      F11                                    ViewMode
//   MenuMode      Return on the crop                     CursorMode
//   MenuMode      Return on another tool                 RunMode, or MenuMode if its picker is
//                                                        cancelled
//   MenuMode      F9                                     (browser shown; the mode stays)
//   CursorMode    F9, or Return with the first corner    RunMode
//   CursorMode    F11                                    MenuMode (on the crop)
//   RunMode       the converter ends or is stopped       LoadMode
//   any mode      a picture is chosen in the browser     LoadMode
//
// LoadMode and RunMode take no keys: keys given while the program is busy are never taken later
// as new commands.
void EditInterface::enterMode(EditMode mode)
{
    editMode = mode;
    if (mode != CursorMode)
        mouseTimer.stop();
    else if (!mouseTimer.isActive())
        mouseTimer.start(TickMilliseconds);
    if (mode == LoadMode)
        viewTimer.start(TickMilliseconds);
    else
        viewTimer.stop();
    if (mode != MenuMode)
        popupTimer.stop();
    noticeTimer.stop();

    switch (mode) {
    case ViewMode:
        drawPictureView();
        break;
    case MenuMode:
        // The menu always opens on the crop, the centre of the grid.
        toolIndex = ToolTable::CropTool;
        navigateMenu();
        popupTicks = 0;
        popupTimer.start(TickMilliseconds);
        break;
    case CursorMode:
        // The cursor's first tick draws it, at most a tick later.
        prepareMouse();
        rectStarted = false;
        break;
    case RunMode:
        // The crop runs over its last cursor frame.
        if (toolIndex != ToolTable::CropTool)
            processingPanel();
        break;
    case LoadMode:
    case NoMode:
        break;
    }
}

// Every key ends here; the editor has nothing to pass one on to.
void EditInterface::keyPressEvent(QKeyEvent *event)
{
    keyPressed(handsetKeyCode(event), event->modifiers());
}

void EditInterface::keyPressed(int key, Qt::KeyboardModifiers modifiers)
{
    // A notice over the picture lasts until the next key.
    noticeTimer.stop();
    switch (editMode) {
    case ViewMode:
        viewKeyPressed(key, modifiers);
        break;
    case MenuMode:
        menuKeyPressed(key);
        break;
    case CursorMode:
        cursorKeyPressed(key);
        break;
    case LoadMode:
    case RunMode:
        break;
    case NoMode:
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

void EditInterface::viewKeyPressed(int key, Qt::KeyboardModifiers modifiers)
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
        std::printf("key code is %d\n", key);
        return;
    default:
        std::printf("key code is %d\n", key);
        // The clear key (Backspace, or u) undoes the last tool, with Shift it redoes it; it is
        // traced as every key without a place in the view always was.
        if (key == HandsetKey::Backspace || key == HandsetKey::LetterU)
            modifiers &Qt::ShiftModifier ? stepForward() : stepBack();
        return;
    }
    // Also after a pan or zoom that changed nothing.
    redrawView();
}

void EditInterface::menuKeyPressed(int key)
{
    std::puts("menu navigation");
    constexpr int count = ToolTable::Count;
    constexpr int GridColumns = FrameLayout::GridColumns;
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
            break;
        }
        // A second Return crops, as the soft key does.
        [[fallthrough]];
    case HandsetKey::F9:
        if (rectStarted) {
            rectStarted = false;
            execCommand();
        }
        break;
    case HandsetKey::F11:
        setMenuPanel();
        break;
    }
}

void EditInterface::redrawView()
{
    // zoomIn() at its limit leaves the frame as it was, texts included, so the line goes on a
    // fresh frame rather than over the last one.
    blitPicToBuffer();
    drawTextInfo(scaleText + u':' + scaleValue(scale), loadProblem, browserText, saveText);
    showFrame();
}

void EditInterface::stepBack()
{
    showStep(undoHistory.undo(), undoText);
}

void EditInterface::stepForward()
{
    showStep(undoHistory.redo(), redoText);
}

void EditInterface::showStep(const QString &picture, const QString &text)
{
    if (picture.isNull())
        return;
    picPath = picture;
    notice = text;
    browser->setUnsavedEdits(undoHistory.isEdited());
    loadPicture();
}

void EditInterface::showBrowser()
{
    browser->show();
    hide();
}
