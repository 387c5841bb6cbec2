#pragma once

#include <QString>

namespace lumora {

// True when a file (not a folder) exists at the path.
bool FileExists(const QString& path);

// The absolute path of the running executable.
QString ExecutablePath();

} // namespace lumora
