#include "platform/converter/tiffcheck.h"

#include "platform/converter/binaryreader.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace TiffCheck {
namespace {

// A cycle of directories in a broken file must not keep the check going.
constexpr int MaxDirectories = 65536;

// The layout of classic TIFF and of BigTIFF.
struct Layout
{
    std::size_t offsetSize;    // of a pointer and of a value field
    std::size_t countSize;     // of a directory's entry count
    std::size_t entrySize;     // of a directory entry
    std::uint64_t firstOffset; // where the pointer to the first directory is
};
constexpr Layout Classic = {4, 2, 12, 4};
constexpr Layout Big = {8, 8, 20, 8};

// The size of one value of a field type; 0 for a type this check does not know.
std::size_t typeSize(std::uint64_t type)
{
    constexpr std::array<std::size_t, 19> Sizes = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4,
                                                   8, 4, 8, 4, 0, 0, 8, 8, 8};
    return type < Sizes.size() ? Sizes[type] : 0;
}

std::string lowered(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    return result;
}

std::optional<Layout> readHeader(BinaryReader &reader)
{
    const std::string header = reader.bytes(0, 4);
    if (header.size() < 4 || (header.compare(0, 2, "II") != 0 && header.compare(0, 2, "MM") != 0))
        return std::nullopt;
    reader.setBigEndian(header[0] == 'M');
    const std::uint64_t version = reader.decode(header.substr(2));
    if (version == 42)
        return Classic;
    if (version == 43 && reader.number(4, 2) == 8)
        return Big;
    return std::nullopt;
}

// The values of an entry's field, when they are strip or tile offsets or byte counts.
struct Field
{
    std::uint64_t at;    // where its values are
    std::uint64_t count; // how many there are
    std::size_t size;    // how long each is
};

class Checker
{
public:
    Checker(BinaryReader &reader, const Layout &layout, std::uint64_t fileSize)
        : m_reader(reader)
        , m_layout(layout)
        , m_fileSize(fileSize)
    {}

    bool within(std::uint64_t offset, std::uint64_t length) const
    {
        return offset <= m_fileSize && length <= m_fileSize - offset;
    }

    // Checks the directory at offset; the offset of the next one, or nothing when it is broken.
    std::optional<std::uint64_t> directory(std::uint64_t offset)
    {
        if (!within(offset, m_layout.countSize))
            return std::nullopt;
        const std::uint64_t entries = m_reader.number(offset, m_layout.countSize);
        const std::uint64_t first = offset + m_layout.countSize;
        if (entries > m_fileSize / m_layout.entrySize ||
            !within(first, entries * m_layout.entrySize + m_layout.offsetSize))
            return std::nullopt;
        std::optional<Field> offsets, lengths;
        for (std::uint64_t entry = 0; entry < entries; ++entry) {
            const std::uint64_t at = first + entry * m_layout.entrySize;
            const std::optional<Field> field = values(at);
            if (!field)
                return std::nullopt;
            const std::uint64_t tag = m_reader.number(at, 2);
            if (tag == StripOffsets || tag == TileOffsets)
                offsets = field;
            else if (tag == StripByteCounts || tag == TileByteCounts)
                lengths = field;
        }
        if (!offsets || !lengths || !piecesWithin(*offsets, *lengths))
            return std::nullopt;
        return m_reader.number(first + entries * m_layout.entrySize, m_layout.offsetSize);
    }

private:
    static constexpr std::uint64_t StripOffsets = 273;
    static constexpr std::uint64_t StripByteCounts = 279;
    static constexpr std::uint64_t TileOffsets = 324;
    static constexpr std::uint64_t TileByteCounts = 325;

    // Where the entry's values lie, checked to lie within the file.
    std::optional<Field> values(std::uint64_t entry)
    {
        const std::size_t offsetSize = m_layout.offsetSize;
        const std::size_t size = typeSize(m_reader.number(entry + 2, 2));
        const std::uint64_t count = m_reader.number(entry + 4, offsetSize);
        const std::uint64_t at = entry + 4 + offsetSize;
        if (size == 0)
            return Field{at, 0, 1};
        if (count > m_fileSize / size)
            return std::nullopt;
        const Field field{count * size <= offsetSize ? at : m_reader.number(at, offsetSize), count,
                          size};
        if (!within(field.at, field.count * size))
            return std::nullopt;
        return field;
    }

    bool piecesWithin(const Field &offsets, const Field &lengths)
    {
        if (offsets.count != lengths.count || offsets.count == 0)
            return false;
        const std::string starts = m_reader.bytes(offsets.at, offsets.count * offsets.size);
        const std::string sizes = m_reader.bytes(lengths.at, lengths.count * lengths.size);
        const std::string_view startView = starts, sizeView = sizes;
        for (std::uint64_t i = 0; i < offsets.count; ++i)
            if (!within(m_reader.decode(startView.substr(i * offsets.size, offsets.size)),
                        m_reader.decode(sizeView.substr(i * lengths.size, lengths.size))))
                return false;
        return true;
    }

    BinaryReader &m_reader;
    Layout m_layout;
    std::uint64_t m_fileSize;
};

} // namespace

bool namesTiff(std::string_view output)
{
    constexpr std::array<std::string_view, 4> Formats = {"tif", "tiff", "tiff64", "ptif"};
    const std::size_t colon = output.find(':');
    const std::string_view prefix = output.substr(0, colon);
    std::string_view format;
    if (colon != std::string_view::npos && prefix.find('/') == std::string_view::npos)
        format = prefix;
    else if (const std::size_t dot = output.find_last_of("./");
             dot != std::string_view::npos && output[dot] == '.')
        format = output.substr(dot + 1);
    return std::find(Formats.begin(), Formats.end(), lowered(format)) != Formats.end();
}

bool looksLikeTiff(const std::filesystem::path &path)
{
    BinaryReader reader(path);
    return readHeader(reader).has_value();
}

bool isWhole(const std::filesystem::path &path)
{
    std::error_code error;
    const std::uintmax_t fileSize = std::filesystem::file_size(path, error);
    BinaryReader reader(path);
    const std::optional<Layout> layout = readHeader(reader);
    if (error || !layout)
        return false;
    Checker checker(reader, *layout, fileSize);
    std::uint64_t next = reader.number(layout->firstOffset, layout->offsetSize);
    if (next == 0)
        return false;
    for (int directories = 0; next != 0 && directories < MaxDirectories; ++directories) {
        const std::optional<std::uint64_t> following = checker.directory(next);
        if (!following)
            return false;
        next = *following;
    }
    return next == 0;
}

} // namespace TiffCheck
