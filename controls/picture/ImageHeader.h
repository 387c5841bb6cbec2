#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace lumora {

// Reading an image's pixel size from the first bytes of its file, without
// decoding it. The bytes come from files a user drops into a folder, so every
// reader treats them as hostile: a truncated, empty, oversized or lying header
// yields 0 x 0, every read is bounds-checked and every loop advances.

struct ImageHeaderSize {
    int Width = 0;
    int Height = 0;

    bool IsEmpty() const { return Width <= 0 || Height <= 0; }
    friend bool operator==(const ImageHeaderSize&, const ImageHeaderSize&) = default;
};

// The file kinds whose size is read from the header, chosen by extension.
enum class ImageHeaderKind { None, Jpeg, Png, Bmp, Tiff, Gif };

// ".jpg"/".jpeg", ".png", ".bmp", ".tif"/".tiff" and ".gif" in any letter case;
// anything else (including no extension) is None.
ImageHeaderKind ImageHeaderKindFromFileName(std::string_view fileName);

ImageHeaderSize ReadJpegHeaderSize(std::span<const std::uint8_t> data);
ImageHeaderSize ReadPngHeaderSize(std::span<const std::uint8_t> data);
ImageHeaderSize ReadBmpHeaderSize(std::span<const std::uint8_t> data);
ImageHeaderSize ReadTiffHeaderSize(std::span<const std::uint8_t> data);
ImageHeaderSize ReadGifHeaderSize(std::span<const std::uint8_t> data);

// The reader of the given kind; None gives 0 x 0.
ImageHeaderSize ReadImageHeaderSize(ImageHeaderKind kind, std::span<const std::uint8_t> data);

} // namespace lumora
