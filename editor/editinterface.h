#pragma once

#include "editor/scaledview.h"
#include "editor/tooltable.h"
#include "editor/undohistory.h"

#include <QImage>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <array>
#include <memory>

class PxGui;
class QPainter;
class WorkingFolder;
class ZConfig;

// The picture editor: a full-screen widget that shows one picture in a 320 x 240 frame and is
// driven entirely from the handset's keys. The editor owns the browser window and every other
// long-lived object of the program.
//
// The words used here:
// - the frame: the 320 x 240 off-screen picture, screenBuffer, into which everything shown is
//   composed; it reaches the widget whole, so the screen never shows half a frame.
// - the view: the picture at the current scale, of which the frame shows a 320 x 240 window
//   (topLeftX, topLeftY); view coordinates are its pixels.
// - the working copy: pxTemp.image, the file every tool writes; after a tool it is the picture
//   being edited, and only a save writes a file the user names.
// - the cursor: the crop's key-driven pointer; its members say "mouse" (mouseImage, mousePos,
//   moveMouse), as the handset's code always called it.
class EditInterface : public QWidget
{
    Q_OBJECT

public:
    // What the keys do. LoadMode and RunMode take no keys: a picture is about to be shown, or the
    // converter runs (and drops the keys itself).
    enum EditMode {
        MenuMode = 0,
        CursorMode = 1,
        ViewMode = 2,
        LoadMode = 3,
        RunMode = 4,
        NoMode = -1,
    };

    // The browser starts where the picture or folder to be opened lies, else in its start folder.
    explicit EditInterface(const QString &pathToOpen = QString());
    ~EditInterface() override;

    QString etr(const QString &group, const QString &key) const;

    // The browser opens a folder, or chooses a picture in its folder (the command line's path).
    void openPath(const QString &path);

    // Picture view
    void loadPicture();
    float fitScreen(ScaledView *view);
    void blitPicToBuffer();
    void zoomIn();
    void zoomOut();
    void resetTopLeft(float ratio);
    void viewMoveUp();
    void viewMoveDown();
    void viewMoveLeft();
    void viewMoveRight();

    // Texts over the frame; a null text leaves its place untouched.
    void drawTextInfo(const QString &top, const QString &middle, const QString &bottomLeft,
                      const QString &bottomRight);

    // Tool menu panel
    void initMenuPanel();
    void setMenuPanel();
    void navigateMenu();
    void drawMenuText();
    void processingPanel();

    // Cursor and crop rectangle
    void prepareMouse();
    void drawRectLine();
    QRect mapRectToOrigin() const;

    // Tools, each one run of the converter
    void useTool();
    void execCommand();
    int valuePicked(int min, int max, const QString &label);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    // A click on a soft-key caption acts as that key, a click on a tool of the open menu selects
    // it and a second one runs it; the wheel zooms the picture view.
    void mousePressEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    // The window manager's close ends the program, so it asks as quitting does.
    void closeEvent(QCloseEvent *event) override;

private slots:
    void initViewPicture();
    void popupMenu();
    void moveMouse();
    void receivePicPath();

private:
    // The period of the editor's timers: the cursor's step, the delay before a loaded picture is
    // shown and the menu's repaints.
    static constexpr int TickMilliseconds = 20;
    // How long a notice stays over the picture when no key comes first.
    static constexpr int NoticeMilliseconds = 3000;

    // The one way into a mode: it starts the timers that belong to the mode, stops the others and
    // draws the mode's frame with its soft-key captions.
    void enterMode(EditMode mode);
    // The picture with its size and scale line, and a notice in the middle while there is one.
    void drawPictureView();
    // Copies the whole frame onto the widget: the one way the widget's pixels change.
    void showFrame();
    void zoomTo(float zoomed);
    // A key press, in the handset's code, from the keyboard or a click.
    void keyPressed(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Key presses, by the mode they arrive in.
    void viewKeyPressed(int key, Qt::KeyboardModifiers modifiers);
    void menuKeyPressed(int key);
    void cursorKeyPressed(int key);
    // The frame after a pan or zoom key: the scale line and the soft-key captions.
    void redrawView();
    // Leaves the editor for the browser; the mode and the picture stay as they are.
    void showBrowser();
    // Shows the picture before, or after, the one shown, with a word that says so.
    void stepBack();
    void stepForward();
    void showStep(const QString &picture, const QString &text);
    static QFont systemFont(int size);

    PxGui *browser = nullptr;
    std::unique_ptr<ZConfig> langConfig;
    QImage mouseImage;
    QPoint mousePos;
    QPoint mousePicPos;
    QPoint rectStart;
    QPixmap menuTitleStrip;
    QImage menuBackground;
    QImage menuIcons;
    QPixmap menuHighlight;
    QPixmap processingBand;
    std::unique_ptr<QPainter> bufferPainter;
    QTimer mouseTimer;
    QTimer viewTimer;
    QTimer popupTimer;
    // Takes a notice off the picture view again.
    QTimer noticeTimer;
    QPixmap screenBuffer;
    // The picture as loaded, and the same picture at the current scale. Named as pixmaps, as the
    // handset's code had them; they are an image, and a view that renders only what a frame
    // shows.
    QImage originPixmap;
    ScaledView viewPixmap;
    QRect infoTopRect;
    QRect infoMiddleRect;
    QRect infoBottomRect;
    QString picPath;
    QString programmeDir;
    std::array<QString, ToolTable::Count> toolOptions;
    std::array<QString, ToolTable::Count> toolNames;
    int toolIndex = 0;
    EditMode editMode = NoMode;
    bool upPressed = false;
    bool downPressed = false;
    bool leftPressed = false;
    bool rightPressed = false;
    bool rectStarted = false;
    float scale = 0.0f;
    int topLeftX = 0;
    int topLeftY = 0;
    int blitX = 0;
    int blitY = 0;
    int popupTicks = 0;
    // The wheel's turn not yet taken as a zoom step.
    int wheelTurned = 0;
    QString sizeText;
    QString scaleText;
    QString positionText;
    QString regionText;
    QString cutText;
    QString cancelText;
    QString browserText;
    QString saveText;
    QString okText;
    QString processingText;
    // What the last tool came to, shown over the picture it left (null when there is nothing to
    // say).
    QString notice;
    // Why the picture could not be read (null when it could).
    QString loadProblem;
    QString cancelledText;
    QString failedText;
    QString tooLargeText;
    QString undoText;
    QString redoText;
    QString undoLostText;
    std::unique_ptr<WorkingFolder> workingFolder;
    UndoHistory undoHistory;

    // What the widget shows: the frame as it was when last copied.
    QPixmap shownFrame;
    int framesShown = 0;

    friend struct TestProbe;
};
