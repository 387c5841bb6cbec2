#pragma once

#include <QString>
#include <QStringList>

namespace lumora {

class TAutostart;

// The entry that starts the program at login, written or removed by the
// start-up switch. A start at login runs the program with its switch and
// the options it was given (a stand-in device, say), so it comes up on the
// same device.
class TLoginStart {
public:
    TLoginStart(TAutostart* autostart, QString executablePath, QStringList options);

    // The command the entry runs. Option names and values alternate; each
    // value is quoted as the path is, since a folder may hold blanks or quotes.
    QString Command() const;

    // Writes the entry when `on`, else removes it where it exists.
    void Apply(bool on);

private:
    TAutostart* autostart_;
    QString executablePath_;
    QStringList options_;
};

} // namespace lumora
