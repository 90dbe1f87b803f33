#include "editor/tooltable.h"

namespace ToolTable {

const std::array<Tool, Count> &tools()
{
    using S = ValueStyle;
    static const std::array<Tool, Count> table = {{
            {"flop", "FLOP", nullptr, 0, 0, S::None},
            {"flip", "FLIP", nullptr, 0, 0, S::None},
            {"rotate -90", "ROTATE_LEFT", nullptr, 0, 0, S::None},
            {"rotate 90", "ROTATE_RIGHT", nullptr, 0, 0, S::None},
            {"monochrome", "B_AND_W", nullptr, 0, 0, S::None},
            {"negate", "NEGATIVE", nullptr, 0, 0, S::None},
            {"emboss", "EMBOSS", "RADIUS", 0, 15, S::Plain},
            {"crop", "CROP", nullptr, 0, 0, S::Crop},
            {"paint", "OIL_PAINT", "RADIUS", 0, 6, S::Plain},
            {"swirl", "SWIRL", "DEGREES", 0, 99, S::Plain},
            {"solarize", "SOLARIZE", "THRESHOLD", 0, 99, S::PercentTrailingBlank},
            {"sepia-tone", "SEPIA", "THRESHOLD", 0, 99, S::PercentTrailingBlank},
            {"spread", "SPREAD", "AMOUNT", 0, 20, S::Spaced},
            {"charcoal", "CHARCOAL", "FACTOR", 0, 5, S::Plain},
            {"resize", "RESIZE", "PERCENTAGE", 0, 200, S::Percent},
    }};
    return table;
}

QString optionPart(const Tool &tool, int value)
{
    // The styles that fill a " %1 " text put two blanks between the option and the number.
    const QString number = QString::number(value);
    QString valuePart;
    switch (tool.style) {
    case ValueStyle::Plain:
        valuePart = number + u' ';
        break;
    case ValueStyle::PercentTrailingBlank:
        valuePart = QStringLiteral(" %1% ").arg(number) + u' ';
        break;
    case ValueStyle::Spaced:
        valuePart = QStringLiteral(" %1 ").arg(number);
        break;
    case ValueStyle::Percent:
        valuePart = QStringLiteral(" %1% ").arg(number);
        break;
    case ValueStyle::None:
    case ValueStyle::Crop:
        break;
    }
    return u'-' + QLatin1String(tool.option) + u' ' + valuePart;
}

QString cropOptionPart(const QRect &rect)
{
    return QStringLiteral(" -crop %1x%2+%3+%4 ")
            .arg(rect.width())
            .arg(rect.height())
            .arg(rect.left())
            .arg(rect.top());
}

} // namespace ToolTable
