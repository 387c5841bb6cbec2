#include "controls/access/FocusMark.h"

#include <QEvent>
#include <QPainter>
#include <QPalette>
#include <QWidget>

namespace lumora {

gdiplus::Color FocusMarkColor(const QWidget& control)
{
    QColor c = control.palette().color(QPalette::Active, QPalette::Highlight);
    c.setAlpha(255);
    return gdiplus::Color::FromQColor(c);
}

gdiplus::Pen FocusMarkPen(const QWidget& control) { return gdiplus::Pen(FocusMarkColor(control), kFocusMarkWidth); }

void PaintFocusMark(QPainter& painter, const QRect& bounds, const QColor& color)
{
    const int w = int(kFocusMarkWidth);
    if (bounds.width() < 2 * w || bounds.height() < 2 * w)
        return;
    painter.fillRect(QRect(bounds.left(), bounds.top(), bounds.width(), w), color);
    painter.fillRect(QRect(bounds.left(), bounds.bottom() - w + 1, bounds.width(), w), color);
    painter.fillRect(QRect(bounds.left(), bounds.top() + w, w, bounds.height() - 2 * w), color);
    painter.fillRect(QRect(bounds.right() - w + 1, bounds.top() + w, w, bounds.height() - 2 * w), color);
}

namespace {

// Lets the control paint itself, then draws the mark over it. The control's
// own paint runs from here so that the mark comes after it: an event filter
// otherwise only sees the paint before the control does.
class FocusMarkPainter : public QObject {
public:
    static constexpr const char* kName = "lumora-focus-mark";
    explicit FocusMarkPainter(QWidget& control) : QObject(&control) { setObjectName(QLatin1String(kName)); }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Paint || painting_)
            return false;
        auto* control = static_cast<QWidget*>(watched);
        painting_ = true;
        // QObject's event() is public where QWidget's is not.
        static_cast<QObject*>(control)->event(event);
        painting_ = false;
        if (control->hasFocus()) {
            QPainter painter(control);
            PaintFocusMark(painter, control->rect(), FocusMarkColor(*control).ToQColor());
        }
        return true;
    }

private:
    bool painting_ = false;
};

} // namespace

void ShowFocusMark(QWidget& control)
{
    // Found by name: the painter has no meta-object of its own to be told
    // apart from the control's other children by.
    if (control.findChild<QObject*>(QLatin1String(FocusMarkPainter::kName), Qt::FindDirectChildrenOnly))
        return;
    control.installEventFilter(new FocusMarkPainter(control));
}

} // namespace lumora
