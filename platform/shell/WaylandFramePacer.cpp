#include "platform/shell/WaylandFramePacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace lumora {

void WaylandFramePacer::Attach(QWidget* window)
{
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        new WaylandFramePacer(window);
}

WaylandFramePacer::WaylandFramePacer(QWidget* window)
    : QObject(window), window_(window), longestWait_(new QTimer(this))
{
    longestWait_->setSingleShot(true);
    longestWait_->setInterval(kLongestWaitMs);
    connect(longestWait_, &QTimer::timeout, this, [this] {
        ++unanswered_;
        FrameDue();
    });
    window_->installEventFilter(this);
}

bool WaylandFramePacer::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::UpdateRequest)
        return false;
    if (watched == window_) {
        // The widgets' own request: paint what is due, unless the frame
        // after the last repaint has not come yet. Qt posts no other request
        // while this one is unanswered; the held one is posted again when
        // the frame comes and paints all that is due by then.
        if (waiting_) {
            held_ = true;
            return true;
        }
        // The repaint goes out first, so that the frame asked for is the
        // one after its commit.
        static_cast<QObject*>(window_)->event(event);
        AwaitNextFrame();
        return true;
    }
    if (watched == watchedHandle_ && requested_) {
        // Our frame request answered: not a repaint of its own.
        requested_ = false;
        unanswered_ = 0;
        FrameDue();
        return true;
    }
    return false;
}

void WaylandFramePacer::AwaitNextFrame()
{
    QWindow* handle = window_->windowHandle();
    if (!handle)
        return;
    if (handle != watchedHandle_) {
        handle->installEventFilter(this);
        watchedHandle_ = handle;
    }
    // Qt answers a window's frame requests one at a time; while one stays
    // unanswered (a window the compositor does not draw), repaints are not
    // held back at all.
    if (unanswered_ < kUnansweredBeforeFree) {
        waiting_ = true;
        longestWait_->start();
    }
    // Answered once the commit just made has been drawn.
    if (!requested_) {
        requested_ = true;
        handle->requestUpdate();
    }
}

void WaylandFramePacer::FrameDue()
{
    longestWait_->stop();
    waiting_ = false;
    if (held_) {
        held_ = false;
        QCoreApplication::postEvent(window_, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
    }
}

} // namespace lumora
