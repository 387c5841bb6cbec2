#pragma once

#include "platform/gdiplus/GdiplusTypes.h"

namespace lumora::gdiplus {

// Layout of text in a rect: horizontal alignment, line (vertical)
// alignment, flags (no-wrap 0x1000, no-clip 0x4000, ...) and the treatment
// of "&" (none: shown as is; show: hidden and the next letter underlined;
// hide: hidden).
class StringFormat {
public:
    explicit StringFormat(INT formatFlags = 0, unsigned language = 0) : flags_(formatFlags), language_(language) {}

    Status SetAlignment(StringAlignment align) { align_ = align; return Ok; }
    StringAlignment GetAlignment() const { return align_; }
    Status SetLineAlignment(StringAlignment align) { lineAlign_ = align; return Ok; }
    StringAlignment GetLineAlignment() const { return lineAlign_; }
    Status SetFormatFlags(INT flags) { flags_ = flags; return Ok; }
    INT GetFormatFlags() const { return flags_; }
    Status SetHotkeyPrefix(HotkeyPrefix prefix) { hotkey_ = prefix; return Ok; }
    HotkeyPrefix GetHotkeyPrefix() const { return hotkey_; }
    unsigned GetLanguage() const { return language_; }

    bool NoWrap() const { return (flags_ & StringFormatFlagsNoWrap) != 0; }
    bool NoClip() const { return (flags_ & StringFormatFlagsNoClip) != 0; }

    // Typographic layout leaves out the 1/6 em padding GDI+ adds to each
    // side of the text by default.
    static StringFormat GenericDefault() { return StringFormat(); }
    static StringFormat GenericTypographic()
    {
        StringFormat f(StringFormatFlagsNoClip | StringFormatFlagsLineLimit | StringFormatFlagsNoFitBlackBox);
        f.typographic_ = true;
        return f;
    }
    bool IsTypographic() const { return typographic_; }

private:
    INT flags_;
    unsigned language_;
    StringAlignment align_ = StringAlignmentNear;
    StringAlignment lineAlign_ = StringAlignmentNear;
    HotkeyPrefix hotkey_ = HotkeyPrefixNone;
    bool typographic_ = false;
};

} // namespace lumora::gdiplus
