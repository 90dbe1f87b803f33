#pragma once

#include <QRect>
#include <QString>

#include <array>

// The 15 tools of the tool menu, in menu order, and the converter options they run with.
namespace ToolTable {

// How a tool's picked number goes into its options.
enum class ValueStyle {
    None,                 // no number
    Plain,                // "-emboss 7 "
    PercentTrailingBlank, // "-solarize  49%  "
    Spaced,               // "-spread  10 "
    Percent,              // "-resize  100% "
    Crop,                 // the crop rectangle instead of a number
};

enum class Trace { Nothing, Command, CommandAndOutcome };

struct Tool
{
    const char *option;  // the converter's option word
    const char *nameKey; // the key of the tool's name in the language file
    const char *label;   // the key of what the number picker asks for, in the same group
    int min;
    int max;
    ValueStyle style;

    // What a run traces besides "index N": its command line, and whether it succeeded. Kept
    // as users and scripts know it: only the first tools ever said how they went.
    Trace trace;

    bool hasParameter() const { return label != nullptr; }
};

constexpr int Count = 15;
constexpr int CropTool = 7;

const std::array<Tool, Count> &tools();

// The number a tool's picker offers first: halfway between its bounds, rounded down.
int defaultValue(int min, int max);

// The options of a tool that takes no rectangle, each ending in a blank, for the picked value.
QString optionPart(const Tool &tool, int value);
// The crop's options for a rectangle of the picture: " -crop WxH+L+T ".
QString cropOptionPart(const QRect &rect);

} // namespace ToolTable
