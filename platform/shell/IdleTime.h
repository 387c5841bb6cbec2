#pragma once

#include <QtGlobal>

#include <memory>

namespace lumora {

class LogindSession;
class X11Display;

// Whole seconds since the last keyboard or mouse input of the logged-on user.
class IdleTimeSource {
public:
    virtual ~IdleTimeSource() = default;
    virtual quint32 IdleSeconds() = 0;
};

// The X server's screen saver extension: milliseconds since the last input on
// the display, divided by 1000 without remainder. X errors are reported, not
// fatal; once the server is gone it reads 0 (active).
class X11IdleTime : public IdleTimeSource {
public:
    // nullptr when there is no display or it lacks the extension.
    static std::unique_ptr<X11IdleTime> Open(const char* displayName = nullptr);
    ~X11IdleTime() override;
    quint32 IdleSeconds() override;

private:
    explicit X11IdleTime(std::unique_ptr<X11Display> connection);
    std::unique_ptr<X11Display> connection_;
};

// The login manager's idle hint for this session, for sessions without X11.
// When the manager stops answering it reads 0 and warns once on stderr.
class LogindIdleTime : public IdleTimeSource {
public:
    explicit LogindIdleTime(std::shared_ptr<const LogindSession> session) : session_(std::move(session)) {}
    quint32 IdleSeconds() override;

private:
    std::shared_ptr<const LogindSession> session_;
    bool warned_ = false;
};

// Nothing to ask: always 0, so idle dimming never fires. Warns once on stderr
// when created, so the user knows why.
class NoIdleTime : public IdleTimeSource {
public:
    NoIdleTime();
    quint32 IdleSeconds() override { return 0; }
};

} // namespace lumora
