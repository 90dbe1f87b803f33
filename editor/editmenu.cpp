#include "editor/editinterface.h"

#include <QPainter>

namespace {

constexpr QPoint TitleStripAt(40, 30);
constexpr QPoint GridAt(40, 60);
constexpr int CellSize = 48;

} // namespace

void EditInterface::initMenuPanel()
{
    menuTitleStrip = QPixmap(240, 30);
    menuTitleStrip.fill(Qt::lightGray);
    menuBackground.load(programmeDir + QStringLiteral("/menuBackground.png"));
    menuIcons.load(programmeDir + QStringLiteral("/menuPic.png"));
    if (!menuIcons.isNull())
        menuIcons.convertTo(QImage::Format_ARGB32_Premultiplied);
    menuHighlight = QPixmap(CellSize, CellSize);
    menuHighlight.fill(Qt::white);
    processingBand = QPixmap(320, 120);
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
    const QPoint cell(toolIndex % ToolTable::GridColumns, toolIndex / ToolTable::GridColumns);
    painter.drawPixmap(GridAt + cell * CellSize, menuHighlight);
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
    painter.drawText(QPoint(45, 50), toolNames[toolIndex]);
    painter.restore();
}

void EditInterface::processingPanel()
{
    blitPicToBuffer();
    bufferPainter->drawPixmap(QPoint(0, 60), processingBand);
    drawTextInfo(toolOptions[toolIndex], QStringLiteral("Processing..."), QString(), QString());
    showFrame();
}

void EditInterface::popupMenu()
{
    showFrame();
    ++popupTicks;
    if (popupTicks > 3 && popupTimer.isActive())
        popupTimer.stop();
}
