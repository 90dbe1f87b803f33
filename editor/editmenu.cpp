#include "editor/editinterface.h"

#include "editor/framelayout.h"

#include <QPainter>

using namespace FrameLayout;

void EditInterface::initMenuPanel()
{
    menuTitleStrip = QPixmap(TitleStripSize);
    menuTitleStrip.fill(Qt::lightGray);
    menuBackground.load(programmeDir + QStringLiteral("/menuBackground.png"));
    menuIcons.load(programmeDir + QStringLiteral("/menuPic.png"));
    if (!menuIcons.isNull())
        menuIcons.convertTo(QImage::Format_ARGB32_Premultiplied);
    menuHighlight = QPixmap(CellSize, CellSize);
    menuHighlight.fill(Qt::white);
    processingBand = QPixmap(InfoMiddle.size());
    processingBand.fill(Qt::gray);
    bufferPainter = std::make_unique<QPainter>(&screenBuffer);
    bufferPainter->setBackgroundMode(Qt::TransparentMode);

    const auto &tools = ToolTable::tools();
    for (int index = 0; index < ToolTable::Count; ++index) {
        toolOptions[index] = QLatin1String(tools[index].option);
        toolNames[index] = etr(QStringLiteral("EDIT_TOOLS"), QLatin1String(tools[index].nameKey));
    }
}

void EditInterface::setMenuPanel()
{
    enterMode(MenuMode);
}

void EditInterface::navigateMenu()
{
    blitPicToBuffer();
    QPainter &painter = *bufferPainter;
    painter.drawPixmap(TitleStripAt, menuTitleStrip);
    painter.drawImage(GridAt, menuBackground);
    painter.drawPixmap(cellOf(toolIndex).topLeft(), menuHighlight);
    painter.drawImage(GridAt, menuIcons);
    drawMenuText();
    drawTextInfo(QString(), QString(), browserText, cancelText);
    showFrame();
}

void EditInterface::drawMenuText()
{
    QPainter &painter = *bufferPainter;
    painter.save();
    painter.setPen(Qt::black);
    painter.setFont(systemFont(24));
    painter.drawText(ToolNameAt, toolNames[toolIndex]);
    painter.restore();
}

void EditInterface::processingPanel()
{
    blitPicToBuffer();
    bufferPainter->drawPixmap(InfoMiddle.topLeft(), processingBand);
    drawTextInfo(toolOptions[toolIndex], processingText, QString(), QString());
    showFrame();
}

void EditInterface::popupMenu()
{
    showFrame();
    ++popupTicks;
    if (popupTicks > 3 && popupTimer.isActive())
        popupTimer.stop();
}
