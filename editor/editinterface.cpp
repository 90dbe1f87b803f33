#include "editor/editinterface.h"

#include "browser/pxgui.h"
#include "editor/framelayout.h"
#include "editor/pictureproblem.h"
#include "platform/workingfolder.h"
#include "platform/zapplication.h"
#include "platform/zconfig.h"
#include "savedlg/filesavedialog.h"

#include <QCloseEvent>
#include <QImageReader>
#include <QPainter>

#include <cstdio>

EditInterface::EditInterface(const QString &pathToOpen)
    : QWidget(nullptr)
{
    // The editor paints every pixel of itself from its frame, so nothing is erased beforehand.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setFixedSize(zApp->desktop().size());
    setWindowTitle(QStringLiteral("Pictalux"));
    programmeDir = FileSaveDialog::getProgrammeDir();
    workingFolder = std::make_unique<WorkingFolder>(programmeDir);
    // Photos of a hundred megapixels and more open wherever the memory allows them.
    QImageReader::setAllocationLimit(pictureMemoryLimit());
    langConfig = FileSaveDialog::getConfig();
    browser = new PxGui(pathToOpen);

    screenBuffer = QPixmap(zApp->desktop().size());
    screenBuffer.fill(Qt::gray);
    mouseImage.load(programmeDir + QStringLiteral("/mouse.png"));
    if (!mouseImage.isNull())
        mouseImage.convertTo(QImage::Format_ARGB32_Premultiplied);
    infoTopRect = FrameLayout::InfoTop;
    infoMiddleRect = FrameLayout::InfoMiddle;
    infoBottomRect = FrameLayout::InfoBottom;
    initMenuPanel();

    hide();
    browser->show();
    showFrame();

    connect(&mouseTimer, SIGNAL(timeout()), this, SLOT(moveMouse()));
    connect(browser, SIGNAL(pathInit()), this, SLOT(receivePicPath()));
    connect(&viewTimer, SIGNAL(timeout()), this, SLOT(initViewPicture()));
    connect(&popupTimer, SIGNAL(timeout()), this, SLOT(popupMenu()));
    noticeTimer.setSingleShot(true);
    connect(&noticeTimer, &QTimer::timeout, this, [this] {
        if (editMode == ViewMode)
            drawPictureView();
    });

    const QString group = QStringLiteral("EDIT_MENU");
    sizeText = etr(group, QStringLiteral("EDIT_SIZE"));
    scaleText = etr(group, QStringLiteral("EDIT_SCALE"));
    positionText = etr(group, QStringLiteral("EDIT_POSITION"));
    regionText = etr(group, QStringLiteral("EDIT_REGION"));
    cutText = etr(group, QStringLiteral("EDIT_CUT"));
    cancelText = etr(group, QStringLiteral("EDIT_CANCEL"));
    browserText = etr(group, QStringLiteral("EDIT_BROWSER"));
    saveText = etr(group, QStringLiteral("EDIT_SAVE"));
    okText = etr(group, QStringLiteral("EDIT_OK"));
    processingText = etr(group, QStringLiteral("EDIT_PROCESSING"));
    cancelledText = etr(group, QStringLiteral("EDIT_CANCELLED"));
    failedText = etr(group, QStringLiteral("EDIT_FAILED"));
    tooLargeText = etr(group, QStringLiteral("EDIT_TOO_LARGE"));
    undoText = etr(group, QStringLiteral("EDIT_UNDO"));
    redoText = etr(group, QStringLiteral("EDIT_REDO"));
    undoLostText = etr(group, QStringLiteral("EDIT_UNDO_LOST"));
}

EditInterface::~EditInterface()
{
    delete browser;
    bufferPainter.reset();
}

QString EditInterface::etr(const QString &group, const QString &key) const
{
    return langConfig->readEntry(group, key);
}

void EditInterface::openPath(const QString &path)
{
    browser->openPath(path);
}

void EditInterface::receivePicPath()
{
    std::puts("yes,I received the picture path signal");
    show();
    picPath = browser->getPicPath();
    undoHistory.reset(picPath);
    loadPicture();
}

void EditInterface::showFrame()
{
    // screenBuffer has a painter open on it, so this takes a copy of its pixels.
    shownFrame = screenBuffer;
    ++framesShown;
    repaint();
}

void EditInterface::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, shownFrame);
}

void EditInterface::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    raise();
    activateWindow();
}

void EditInterface::closeEvent(QCloseEvent *event)
{
    if (browser->mayQuit())
        QWidget::closeEvent(event);
    else
        event->ignore();
}
