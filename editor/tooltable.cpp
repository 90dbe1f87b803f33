#include "editor/tooltable.h"

namespace ToolTable {

const std::array<Tool, Count> &tools()
{
    using S = ValueStyle;
    using T = Trace;
    static const std::array<Tool, Count> table = {{
            {"flop", "FLOP", nullptr, 0, 0, S::None, T::CommandAndOutcome},
            {"flip", "FLIP", nullptr, 0, 0, S::None, T::CommandAndOutcome},
            {"rotate -90", "ROTATE_LEFT", nullptr, 0, 0, S::None, T::CommandAndOutcome},
            {"rotate 90", "ROTATE_RIGHT", nullptr, 0, 0, S::None, T::CommandAndOutcome},
            {"monochrome", "B_AND_W", nullptr, 0, 0, S::None, T::CommandAndOutcome},
            {"negate", "NEGATIVE", nullptr, 0, 0, S::None, T::CommandAndOutcome},
            {"emboss", "EMBOSS", "RADIUS", 0, 15, S::Plain, T::CommandAndOutcome},
            {"crop", "CROP", nullptr, 0, 0, S::Crop, T::Nothing},
            {"paint", "OIL_PAINT", "RADIUS", 0, 6, S::Plain, T::Nothing},
            {"swirl", "SWIRL", "DEGREES", 0, 99, S::Plain, T::Nothing},
            {"solarize", "SOLARIZE", "THRESHOLD", 0, 99, S::PercentTrailingBlank, T::Command},
            {"sepia-tone", "SEPIA", "THRESHOLD", 0, 99, S::PercentTrailingBlank, T::Nothing},
            {"spread", "SPREAD", "AMOUNT", 0, 20, S::Spaced, T::Command},
            {"charcoal", "CHARCOAL", "FACTOR", 0, 5, S::Plain, T::Nothing},
            {"resize", "RESIZE", "PERCENTAGE", 0, 200, S::Percent, T::Nothing},
    }};
    return table;
}

int defaultValue(int min, int max)
{
    return min + (max - min) / 2;
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
