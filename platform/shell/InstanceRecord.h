#pragma once

#include <QString>

#include <optional>

namespace lumora {

// The record copies of one executable share to count themselves: the window
// handle of the copy that registered last and the number of registered
// copies, 8 bytes. It is a file in the user's runtime folder, named from the
// executable's path. Each registered copy holds a lock on its own slot of the
// file for as long as it runs; the count is the number of held slots, so a
// copy that crashes or is killed drops out of the count with its process and
// never locks the user out. Checking and registering happen under a lock, so
// two copies started at once cannot both become the first.
class TInstanceRecord {
public:
    struct State {
        quint32 WindowHandle = 0;
        quint32 Count = 0;
    };
    struct Check {
        State Before;   // the record as this copy found it
        bool Counted = false; // this copy is now registered
    };

    // Where the slots lie in the file: byte SlotAreaStart + i is slot i.
    static constexpr qint64 SlotAreaStart = 4096;
    static constexpr qint64 SlotCount = 1 << 16;

    // Opens (creating) the record called `name` in `folder`. Raises EOSError
    // "System Error.  Code: %d." and the system's text when it cannot, and
    // when the name is taken by something other than a plain file of ours.
    TInstanceRecord(const QString& name, const QString& folder);
    // Unregisters.
    ~TInstanceRecord();
    TInstanceRecord(const TInstanceRecord&) = delete;
    TInstanceRecord& operator=(const TInstanceRecord&) = delete;

    // The record name for an executable: its full path with every "\" and
    // then every blank removed, letter case kept.
    static QString NameFromExecutable(const QString& executablePath);
    // The user's runtime folder: $XDG_RUNTIME_DIR when it is a folder of
    // ours that nobody else may enter, else a private folder of ours under
    // the temporary folder (made with mode 0700 when missing). Nothing when
    // neither is safe: a folder others can write to would let another user
    // plant the record or the socket, so the caller goes without.
    static std::optional<QString> RuntimeFolder();

    const QString& FilePath() const { return filePath_; }
    // Where the registered copy listens for requests to come forward.
    const QString& ServerPath() const { return serverPath_; }

    // The record with the number of held slots. A lock on the slot area that
    // is not one slot (some other program's) counts as one holder.
    State Read() const;
    // Registers this copy, storing its window handle, when fewer than
    // `maxInstances` copies are registered. Waits at most a few seconds for
    // another copy's check to end, then raises EOSError.
    Check Register(quint32 windowHandle, quint32 maxInstances);
    // Stores a new window handle for a registered copy.
    void SetWindowHandle(quint32 windowHandle);
    void Unregister();
    bool Counted() const { return slot_ >= 0; }

private:
    class Guard;
    quint32 LiveCount() const;
    void Store(State state);

    QString filePath_;
    QString serverPath_;
    int fd_ = -1;
    long slot_ = -1;
};

} // namespace lumora
