#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The editor's working copy: every tool reads and rewrites it, so it is kept as an uncompressed
// TIFF, which the converter and Qt both read and write fast and which keeps alpha, depth and every
// pixel. A note in it (its page name) remembers the format and JPEG quality of the picture it came
// from, so that a save can give them back.
namespace WorkingCopy {

// The working copy is known by its file name, wherever its folder lies.
bool isWorkingCopy(std::string_view path);

// What the launcher needs to know of a picture before converting it.
struct Picture
{
    enum class Format { Other, Jpeg, Png, Tiff };
    Format format = Format::Other;
    bool opaque = false; // known to hold no transparency
    std::string origin;  // for a working copy: the format of the picture it came from
    int quality = 0;     // and that picture's JPEG quality, 0 when it had none
};

// Reads the signature and, for TIFF and PNG, the tags or chunks ahead of the pixels.
Picture inspect(const std::filesystem::path &path);

// The page name that notes where a working copy came from, as a converter's percent escapes.
std::string originNote();

// Reads such a note: the origin format and quality, or nothing for any other page name.
std::optional<std::pair<std::string, int>> parseOriginNote(std::string_view pageName);

// How the converter writes the working copy: the prefix of the output path and the settings.
inline constexpr std::string_view OutputPrefix = "TIFF:";
std::vector<std::string> outputSettings();

// What a save from a working copy adds so the file comes out as the picture it came from would:
// its JPEG quality, its format when the name gives none, and no trace of the note.
struct Save
{
    std::vector<std::string> settings;
    std::string outputPrefix;
};
Save saveFrom(const Picture &workingCopy, std::string_view destination);

} // namespace WorkingCopy
