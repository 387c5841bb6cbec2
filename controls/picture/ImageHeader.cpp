#include "controls/picture/ImageHeader.h"

#include <cstddef>
#include <initializer_list>
#include <limits>
#include <optional>
#include <string>

namespace lumora {

namespace {

using Bytes = std::span<const std::uint8_t>;

// Bounds-checked reads: nullopt when any byte lies past the end.
std::optional<std::uint32_t> Be16(Bytes d, std::size_t at)
{
    if (at > d.size() || d.size() - at < 2)
        return std::nullopt;
    return std::uint32_t(d[at]) << 8 | d[at + 1];
}

std::optional<std::uint32_t> Le16(Bytes d, std::size_t at)
{
    if (at > d.size() || d.size() - at < 2)
        return std::nullopt;
    return std::uint32_t(d[at + 1]) << 8 | d[at];
}

std::optional<std::uint32_t> Be32(Bytes d, std::size_t at)
{
    if (at > d.size() || d.size() - at < 4)
        return std::nullopt;
    return std::uint32_t(d[at]) << 24 | std::uint32_t(d[at + 1]) << 16 | std::uint32_t(d[at + 2]) << 8 | d[at + 3];
}

std::optional<std::uint32_t> Le32(Bytes d, std::size_t at)
{
    if (at > d.size() || d.size() - at < 4)
        return std::nullopt;
    return std::uint32_t(d[at + 3]) << 24 | std::uint32_t(d[at + 2]) << 16 | std::uint32_t(d[at + 1]) << 8 | d[at];
}

// A size is only reported when both sides are positive and fit an int; a
// header claiming anything else is lying.
ImageHeaderSize Checked(std::uint64_t width, std::uint64_t height)
{
    constexpr std::uint64_t kMax = std::uint64_t(std::numeric_limits<int>::max());
    if (width == 0 || height == 0 || width > kMax || height > kMax)
        return {};
    return {int(width), int(height)};
}

bool StartsWith(Bytes d, std::initializer_list<std::uint8_t> prefix)
{
    if (d.size() < prefix.size())
        return false;
    std::size_t i = 0;
    for (std::uint8_t b : prefix)
        if (d[i++] != b)
            return false;
    return true;
}

} // namespace

ImageHeaderKind ImageHeaderKindFromFileName(std::string_view fileName)
{
    const std::size_t slash = fileName.find_last_of("/\\");
    const std::size_t dot = fileName.find_last_of('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return ImageHeaderKind::None;
    std::string ext(fileName.substr(dot));
    for (char& c : ext)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    if (ext == ".JPG" || ext == ".JPEG")
        return ImageHeaderKind::Jpeg;
    if (ext == ".PNG")
        return ImageHeaderKind::Png;
    if (ext == ".BMP")
        return ImageHeaderKind::Bmp;
    if (ext == ".TIFF" || ext == ".TIF")
        return ImageHeaderKind::Tiff;
    if (ext == ".GIF")
        return ImageHeaderKind::Gif;
    return ImageHeaderKind::None;
}

ImageHeaderSize ReadJpegHeaderSize(Bytes d)
{
    if (!StartsWith(d, {0xFF, 0xD8}))
        return {};
    std::size_t p = 2;
    while (p < d.size()) {
        if (d[p++] != 0xFF)
            continue;
        // Any number of 0xFF fill bytes may precede a marker.
        while (p < d.size() && d[p] == 0xFF)
            ++p;
        if (p >= d.size())
            break;
        const std::uint8_t marker = d[p++];
        if (marker == 0xC0 || marker == 0xC1 || marker == 0xC2) {
            // Segment length (2) and sample precision (1), then height and width.
            const auto height = Be16(d, p + 3);
            const auto width = Be16(d, p + 5);
            if (!height || !width)
                return {};
            return Checked(*width, *height);
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue; // markers without a segment
        if (marker == 0xD9)
            return {}; // end of image before any frame header
        const auto length = Be16(d, p);
        // The length counts its own two bytes; 0 or 1 would step backwards
        // and loop for ever.
        if (!length || *length < 2)
            return {};
        p += *length;
    }
    return {};
}

ImageHeaderSize ReadPngHeaderSize(Bytes d)
{
    if (!StartsWith(d, {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A}))
        return {};
    // The first chunk must be the image header: length 13, type "IHDR".
    const auto type = Be32(d, 12);
    if (!type || *type != 0x49484452u)
        return {};
    const auto width = Be32(d, 16);
    const auto height = Be32(d, 20);
    if (!width || !height)
        return {};
    return Checked(*width, *height);
}

ImageHeaderSize ReadBmpHeaderSize(Bytes d)
{
    if (!StartsWith(d, {'B', 'M'}))
        return {};
    const auto infoSize = Le32(d, 14);
    if (!infoSize)
        return {};
    if (*infoSize == 12) {
        // The old core header holds 16-bit width and height.
        const auto width = Le16(d, 18);
        const auto height = Le16(d, 20);
        if (!width || !height)
            return {};
        return Checked(*width, *height);
    }
    const auto width = Le32(d, 18);
    const auto height = Le32(d, 22);
    if (!width || !height)
        return {};
    // Both are signed; a negative height marks a top-down bitmap.
    const std::int64_t w = std::int32_t(*width);
    std::int64_t h = std::int32_t(*height);
    if (w <= 0)
        return {};
    if (h < 0)
        h = -h;
    return Checked(std::uint64_t(w), std::uint64_t(h));
}

ImageHeaderSize ReadTiffHeaderSize(Bytes d)
{
    bool little;
    if (StartsWith(d, {'I', 'I', 42, 0}))
        little = true;
    else if (StartsWith(d, {'M', 'M', 0, 42}))
        little = false;
    else
        return {};
    const auto u16 = [&](std::size_t at) { return little ? Le16(d, at) : Be16(d, at); };
    const auto u32 = [&](std::size_t at) { return little ? Le32(d, at) : Be32(d, at); };

    const auto directory = u32(4);
    if (!directory)
        return {};
    const auto count = u16(*directory);
    if (!count)
        return {}; // directory offset beyond the file
    std::optional<std::uint32_t> width;
    std::optional<std::uint32_t> height;
    constexpr std::uint32_t kShort = 3;
    constexpr std::uint32_t kLong = 4;
    std::size_t p = std::size_t(*directory) + 2;
    for (std::uint32_t i = 0; i < *count && !(width && height); ++i, p += 12) {
        const auto tag = u16(p);
        const auto type = u16(p + 2);
        if (!tag || !type || !u32(p + 8))
            return {}; // entries run past the end
        if (*tag != 256 && *tag != 257)
            continue;
        std::optional<std::uint32_t> value;
        if (*type == kShort)
            value = u16(p + 8);
        else if (*type == kLong)
            value = u32(p + 8);
        else
            continue;
        (*tag == 256 ? width : height) = value;
    }
    if (!width || !height)
        return {};
    return Checked(*width, *height);
}

ImageHeaderSize ReadGifHeaderSize(Bytes d)
{
    // Signature and version (6), logical screen width and height (4), flags,
    // background colour index and aspect ratio.
    constexpr std::size_t kHeader = 13;
    if (d.size() < kHeader || !StartsWith(d, {'G', 'I', 'F'}))
        return {};
    const std::uint8_t flags = d[10];
    std::size_t p = kHeader;
    if (flags & 0x80)
        p += 3 * (std::size_t(1) << ((flags & 7) + 1));
    if (p > d.size())
        return {}; // the global colour table runs past the end

    // Walk the blocks up to the first image descriptor. Extension data may
    // hold any byte, so the blocks are skipped by their lengths rather than
    // scanned for the descriptor's ','.
    while (p < d.size()) {
        const std::uint8_t block = d[p++];
        if (block == ',') {
            // Left and top, then width and height, then the descriptor's flags.
            const auto width = Le16(d, p + 4);
            const auto height = Le16(d, p + 6);
            if (!width || !height || d.size() - p < 9)
                return {};
            return Checked(*width, *height);
        }
        if (block != '!')
            return {}; // the trailer, or not a block a GIF can hold
        if (p >= d.size())
            return {};
        ++p; // extension label
        for (;;) {
            if (p >= d.size())
                return {};
            const std::uint8_t length = d[p++];
            if (length == 0)
                break;
            p += length;
        }
    }
    return {};
}

ImageHeaderSize ReadImageHeaderSize(ImageHeaderKind kind, Bytes data)
{
    switch (kind) {
    case ImageHeaderKind::Jpeg:
        return ReadJpegHeaderSize(data);
    case ImageHeaderKind::Png:
        return ReadPngHeaderSize(data);
    case ImageHeaderKind::Bmp:
        return ReadBmpHeaderSize(data);
    case ImageHeaderKind::Tiff:
        return ReadTiffHeaderSize(data);
    case ImageHeaderKind::Gif:
        return ReadGifHeaderSize(data);
    case ImageHeaderKind::None:
        break;
    }
    return {};
}

} // namespace lumora
