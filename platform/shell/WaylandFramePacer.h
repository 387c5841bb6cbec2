#pragma once

#include <QObject>

class QTimer;
class QWidget;
class QWindow;

namespace lumora {

// Paces a top-level window's repaints to the compositor's frames when the
// program runs natively on Wayland.
//
// Qt's widgets commit a new picture for every repaint, without waiting for
// the compositor to ask for the next frame. While a control animates, each
// commit that finds the window's earlier buffers still held by the
// compositor makes Qt allocate another window-sized buffer (up to five),
// which it keeps for the window's life. After each repaint the pacer asks
// the window for its next frame (QWindow::requestUpdate, which Qt's Wayland
// platform answers when the compositor signals it) and holds further
// repaints back until then: one picture per frame the compositor draws. A
// compositor that sends no signal (a hidden window, a stalled compositor)
// holds a few repaints back for a fraction of a second each, then none.
class WaylandFramePacer : public QObject {
public:
    // Paces `window` for as long as it lives; does nothing off Wayland.
    static void Attach(QWidget* window);

    // The longest a repaint waits for the compositor's signal.
    static constexpr int kLongestWaitMs = 250;
    // After this many waits in a row without the compositor's signal,
    // repaints go out unpaced until it comes.
    static constexpr int kUnansweredBeforeFree = 3;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit WaylandFramePacer(QWidget* window);

    // A repaint went out: the next waits for the frame after it.
    void AwaitNextFrame();
    // The frame came, or the wait for it ended: a held repaint goes out.
    void FrameDue();

    QWidget* window_;
    QWindow* watchedHandle_ = nullptr;
    bool waiting_ = false;     // repaints wait for the next frame
    bool requested_ = false;   // our frame request is unanswered
    bool held_ = false;        // a repaint was held back
    int unanswered_ = 0;       // waits in a row that ended without the frame
    QTimer* longestWait_;
};

} // namespace lumora
