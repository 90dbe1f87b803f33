#include "editor/editinterface.h"

#include "browser/pxgui.h"
#include "platform/handsetkeys.h"
#include "platform/zapplication.h"
#include "platform/zconfig.h"
#include "savedlg/filesavedialog.h"

#include <QKeyEvent>
#include <QPainter>

#include <cstdio>

EditInterface::EditInterface() : QWidget(nullptr)
{
    setFocusPolicy(Qt::StrongFocus);
    setFixedSize(zApp->desktop().size());
    setWindowTitle(QStringLiteral("Pictalux"));
    programmeDir = FileSaveDialog::getProgrammeDir();
    langConfig = FileSaveDialog::getConfig();
    browser = new PxGui;
    screenBuffer = QPixmap(zApp->desktop().size());
    screenBuffer.fill(Qt::gray);
    hide();
    browser->show();
    showFrame();
    connect(browser, SIGNAL(pathInit()), this, SLOT(receivePicPath()));
}

EditInterface::~EditInterface()
{
    delete browser;
}

QString EditInterface::etr(const QString &group, const QString &key) const
{
    return langConfig->readEntry(group, key);
}

void EditInterface::receivePicPath()
{
    std::puts("yes,I received the picture path signal");
    show();
    picPath = browser->getPicPath();
}

void EditInterface::showFrame()
{
    shownFrame = screenBuffer;
    ++framesShown;
    repaint();
}

void EditInterface::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, shownFrame);
}

void EditInterface::keyPressEvent(QKeyEvent *event)
{
    if (editMode == NoMode && handsetKeyCode(event) == HandsetKey::F11)
        QApplication::quit();
}
