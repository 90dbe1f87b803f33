#pragma once

#include <filesystem>
#include <string_view>

// ImageMagick 6 may report success for a TIFF that a full disk cut short: its directory, or even
// its header, is then missing. Such a file must never replace the user's picture.
namespace TiffCheck {

// Whether the name given to the converter makes it write a TIFF: a TIFF prefix or extension.
bool namesTiff(std::string_view output);

// Whether the file starts as a TIFF does.
bool looksLikeTiff(const std::filesystem::path &path);

// Whether the TIFF is whole: its header, every directory, and every strip or tile and every value
// they point to lie within the file. Only the header and the directories are read.
bool isWhole(const std::filesystem::path &path);

} // namespace TiffCheck
