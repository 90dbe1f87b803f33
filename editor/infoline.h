#pragma once

#include <QString>

#include <initializer_list>

// The lines of the editor's overlay: a format in which each "%1" in turn, from the left, takes
// the next value, as in ":%1x%1 " for a picture's width and height.
QString infoLine(const QString &format, std::initializer_list<QString> values);

// A scale as the overlay shows it: fixed notation, two decimals.
QString scaleValue(float scale);
