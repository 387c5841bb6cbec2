#pragma once

#include <QString>

#include <cstdint>

namespace lumora {

// The runtime's number and text rules that the program's texts depend on.

// Decimal text of an integer ("-12").
QString IntToStr(std::int64_t value);

// Removes leading and trailing blanks and control characters (every
// character up to and including the space).
QString Trim(const QString& text);

// Decimal integer with an optional sign, no blanks, within 32 bits. Anything
// else raises EConvertError "'<text>' is not a valid integer value".
int StrToInt(const QString& text);

// Like StrToInt but gives fallback instead of raising.
int StrToIntDef(const QString& text, int fallback);

// Integer from user or device text: the trimmed text, where empty text and
// "NULL" in any letter case give 0. Other non-integers raise EConvertError as
// StrToInt does (with the trimmed text in the message).
int TextToInt(const QString& text);

// Nearest integer, halves to the even neighbour (0.5 -> 0, 1.5 -> 2,
// 2.5 -> 2, -2.5 -> -2). Values beyond 64 bits saturate; NaN gives 0.
std::int64_t Round(double value);

// Integer part, towards zero, with the same saturation as Round.
std::int64_t Trunc(double value);

// Raises EOSError "System Error.  Code: <code>." followed by a line break
// and the system's text for the code.
[[noreturn]] void RaiseLastOSError(int code);

// Text comparison and replacement.
bool SameText(const QString& a, const QString& b); // letter case ignored
enum TReplaceFlag { rfReplaceAll = 1, rfIgnoreCase = 2 };
QString StringReplace(const QString& text, const QString& from, const QString& to, int flags);

// Parts of a file path ("/" separated).
QString ExtractFileName(const QString& path);  // "/a/b.png" -> "b.png"
QString ExtractFilePath(const QString& path);  // "/a/b.png" -> "/a/"
QString ExtractFileExt(const QString& path);   // "/a/b.png" -> ".png"

// a * b / c in 64 bits, rounded half away from zero; c == 0 gives -1.
int MulDiv(int a, int b, int c);

} // namespace lumora
