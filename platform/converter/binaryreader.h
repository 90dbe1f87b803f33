#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

// Reads bytes and numbers of either byte order from a file, with every read checked: a read past
// the end gives nothing, or zero.
class BinaryReader
{
public:
    explicit BinaryReader(const std::filesystem::path &path)
        : m_file(path, std::ios::binary)
    {}

    std::string bytes(std::uint64_t offset, std::size_t length)
    {
        std::string data(length, '\0');
        m_file.clear();
        m_file.seekg(std::streamoff(offset));
        if (!m_file.read(data.data(), std::streamsize(length)))
            return {};
        return data;
    }
    std::uint64_t number(std::uint64_t offset, std::size_t length)
    {
        return decode(bytes(offset, length));
    }
    // The number in the first bytes of data, which are no more than eight.
    std::uint64_t decode(std::string_view data) const
    {
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < data.size(); ++i) {
            const auto byte = std::uint8_t(data[m_bigEndian ? i : data.size() - 1 - i]);
            value = value << 8 | byte;
        }
        return value;
    }
    void setBigEndian(bool bigEndian) { m_bigEndian = bigEndian; }

private:
    std::ifstream m_file;
    bool m_bigEndian = true;
};
