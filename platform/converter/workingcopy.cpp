#include "platform/converter/workingcopy.h"

#include "platform/converter/binaryreader.h"
#include "platform/converter/convertargs.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>

namespace WorkingCopy {
namespace {

constexpr std::string_view NotePrefix = "pictalux:";

void readPng(BinaryReader &reader, Picture &picture)
{
    picture.format = Picture::Format::Png;
    bool transparency = false;
    int colourType = -1;
    // The chunks that can say anything of transparency all come before the pixels.
    for (std::uint64_t offset = 8;;) {
        const std::uint32_t length = reader.number(offset, 4);
        const std::string type = reader.bytes(offset + 4, 4);
        if (type.empty() || type == "IDAT" || type == "IEND")
            break;
        if (type == "IHDR")
            colourType = std::uint8_t(reader.bytes(offset + 17, 1).c_str()[0]);
        transparency = transparency || type == "tRNS";
        offset += 12 + std::uint64_t(length);
    }
    picture.opaque = !transparency && (colourType == 0 || colourType == 2 || colourType == 3);
}

void readTiff(BinaryReader &reader, Picture &picture)
{
    constexpr std::uint16_t PageName = 285;
    constexpr std::uint16_t ExtraSamples = 338;
    constexpr std::uint16_t Ascii = 2;
    picture.format = Picture::Format::Tiff;
    reader.setBigEndian(reader.bytes(0, 2) == "MM");
    const std::uint64_t directory = reader.number(4, 4);
    const std::uint32_t entries = reader.number(directory, 2);
    bool extraSamples = false;
    for (std::uint32_t entry = 0; entry < entries; ++entry) {
        const std::uint64_t at = directory + 2 + 12 * std::uint64_t(entry);
        const std::uint32_t tag = reader.number(at, 2);
        if (tag == 0 && reader.bytes(at, 2).empty())
            return;
        extraSamples = extraSamples || tag == ExtraSamples;
        const std::uint32_t count = reader.number(at + 4, 4);
        if (tag == PageName && reader.number(at + 2, 2) == Ascii && count < 256) {
            const std::uint64_t text = count <= 4 ? at + 8 : reader.number(at + 8, 4);
            const std::string name = reader.bytes(text, count);
            if (const auto note = parseOriginNote(name.substr(0, name.find('\0')))) {
                picture.origin = note->first;
                picture.quality = note->second;
            }
        }
    }
    picture.opaque = !extraSamples;
}

bool isJpegExtension(std::string extension)
{
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    return extension == ".jpg" || extension == ".jpeg" || extension == ".jpe";
}

} // namespace

bool isWorkingCopy(std::string_view path)
{
    return path.substr(path.find_last_of('/') + 1) == "pxTemp.image";
}

Picture inspect(const std::filesystem::path &path)
{
    BinaryReader reader(path);
    const std::string signature = reader.bytes(0, 8);
    Picture picture;
    if (signature.compare(0, 3, "\xFF\xD8\xFF") == 0) {
        picture.format = Picture::Format::Jpeg;
        picture.opaque = true;
    } else if (signature == "\x89PNG\r\n\x1A\n") {
        readPng(reader, picture);
    } else if (signature.compare(0, 4, std::string("II*\0", 4)) == 0 ||
               signature.compare(0, 4, std::string("MM\0*", 4)) == 0) {
        readTiff(reader, picture);
    }
    return picture;
}

std::string originNote()
{
    return std::string(NotePrefix) + "%m:%Q";
}

std::optional<std::pair<std::string, int>> parseOriginNote(std::string_view pageName)
{
    if (pageName.substr(0, NotePrefix.size()) != NotePrefix)
        return std::nullopt;
    pageName.remove_prefix(NotePrefix.size());
    const std::size_t colon = pageName.find(':');
    const std::string_view format = pageName.substr(0, colon);
    const std::string_view quality =
            colon == std::string_view::npos ? std::string_view() : pageName.substr(colon + 1);
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    // The format becomes a prefix of the converter's output name: letters and digits only.
    if (format.empty() || quality.empty() || quality.size() > 3 ||
        !std::all_of(format.begin(), format.end(),
                     [](unsigned char c) { return std::isalnum(c); }) ||
        !std::all_of(quality.begin(), quality.end(), isDigit))
        return std::nullopt;
    const int value = std::stoi(std::string(quality));
    return std::pair{std::string(format), value <= 100 ? value : 0};
}

std::vector<std::string> outputSettings()
{
    return {"-compress", "None"};
}

Save saveFrom(const Picture &workingCopy, std::string_view destination)
{
    if (workingCopy.origin.empty())
        return {};
    Save save;
    const std::string extension = Converter::plainExtension(destination);
    // A name without an extension gets the format the picture had before it was edited.
    if (extension.empty())
        save.outputPrefix = workingCopy.origin + ":";
    const bool jpeg = extension.empty() ? workingCopy.origin == "JPEG" : isJpegExtension(extension);
    if (jpeg && workingCopy.origin == "JPEG" && workingCopy.quality > 0)
        save.settings = {"-quality", std::to_string(workingCopy.quality)};
    save.settings.insert(save.settings.end(), {"+set", "label"});
    return save;
}

} // namespace WorkingCopy
