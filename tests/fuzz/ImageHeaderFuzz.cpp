// libFuzzer target for the image header readers: every reader sees every
// input, so the sanitizers catch any read past the end and the fuzzer's
// timeout catches any loop that does not advance.

#include "controls/picture/ImageHeader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace lumora;
    const std::span<const std::uint8_t> bytes(data, size);
    for (ImageHeaderKind kind : {ImageHeaderKind::Jpeg, ImageHeaderKind::Png, ImageHeaderKind::Bmp,
                                 ImageHeaderKind::Tiff, ImageHeaderKind::Gif}) {
        const ImageHeaderSize s = ReadImageHeaderSize(kind, bytes);
        // A reported size is always a whole one.
        if ((s.Width == 0) != (s.Height == 0) || s.Width < 0 || s.Height < 0)
            std::abort();
    }
    return 0;
}
