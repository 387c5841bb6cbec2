#pragma once

// Selection helpers of the image list box as plain functions: the keyboard
// look-up text that resets after a pause, and the prefix search over the
// items' names. The list box's selection members live in
// AdvSmoothImageListBoxSelection.cpp.

#include <QString>

#include <cstdint>
#include <vector>

namespace lumora {

// A pause longer than this (milliseconds) starts a new look-up text.
constexpr std::int64_t kLookUpResetMs = 1000;

// The text typed for a keyboard look-up. Times are read from a steady clock
// by the caller, so no timer runs while nobody types.
struct TLookUp {
    QString text;
    std::int64_t last = 0; // time of the last character

    // Adds a typed character at time `nowMs` and returns the text to look up.
    const QString& Type(QChar c, std::int64_t nowMs);
    // True while a look-up is being typed (the last character is recent).
    bool Typing(std::int64_t nowMs) const;
};

// What the look-up compares: an item's caption text, or its file name when
// the caption is empty. Items that cannot be selected have `selectable` off.
struct TLookUpEntry {
    QString name;
    bool selectable = true;
};

// The first selectable entry whose name starts with `prefix` (letter case
// ignored); -1 when none or when the prefix is empty.
int FindByPrefix(const std::vector<TLookUpEntry>& entries, const QString& prefix);

} // namespace lumora
