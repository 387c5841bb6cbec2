#pragma once

namespace lumora {

// The primary screen's horizontal logical pixels per inch; 96 when there is
// no screen.
int ScreenPixelsPerInch();

} // namespace lumora
