#include "platform/framework/FirstFrame.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace lumora {

namespace {

// Watches the window's paint events; owned by the window, so it goes with it.
class FirstFrameWatch : public QObject {
public:
    FirstFrameWatch(QWidget* window, std::function<void()> work, int limitMs)
        : QObject(window), window_(window), work_(std::move(work))
    {
        window->installEventFilter(this);
        QTimer::singleShot(0, this, [this] {
            if (!window_->isVisible())
                Run();
        });
        QTimer::singleShot(limitMs, this, [this] { Run(); });
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        // The frame is painted and flushed when the paint event has been
        // handled: the work is queued behind it.
        if (event->type() == QEvent::Paint && !queued_) {
            queued_ = true;
            QTimer::singleShot(0, this, [this] { Run(); });
        }
        return false;
    }

private:
    void Run()
    {
        if (!work_)
            return;
        window_->removeEventFilter(this);
        const std::function<void()> work = std::move(work_);
        work_ = nullptr;
        deleteLater();
        work();
    }

    QWidget* window_;
    std::function<void()> work_;
    bool queued_ = false;
};

} // namespace

void AfterFirstFrame(QWidget* window, std::function<void()> work, int limitMs)
{
    new FirstFrameWatch(window, std::move(work), limitMs);
}

} // namespace lumora
