#pragma once

#include "controls/picture/GDIPicture.h"
#include "platform/framework/Events.h"
#include "platform/framework/Types.h"

#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

#include <memory>

namespace lumora {

// The picture control lives in its own namespace because it shares its name
// with the image class TAdvGDIPPicture of AdvGDIP.h.
namespace AdvGDIPicture {

// Where the control draws an image of ImageSize in a client area of
// ClientSize:
// - Stretch and Proportional: scaled to fit, aspect ratio kept (rounded half
//   to even), centred when Center is set, else at the top-left;
// - Stretch alone: the whole client area;
// - Center alone: natural size, centred where it is smaller than the client;
// - neither: natural size at the top-left.
QRect PictureDrawRect(QSize ImageSize, QSize ClientSize, bool Stretch, bool Proportional, bool Center);

// Mouse notifications: sender, button (press and release), keys and buttons
// held, position in the control.
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;

// A control that shows one TGDIPPicture.
class TAdvGDIPPicture : public QWidget, public TObject {
public:
    explicit TAdvGDIPPicture(QWidget* parent = nullptr);
    ~TAdvGDIPPicture() override;

    // Owned; setting copies the given picture's content, then repaints.
    TGDIPPicture* Picture() const { return FPicture.get(); }
    void SetPicture(const TGDIPPicture* Value);

    // When set, the control takes the image's size (now, and whenever a
    // non-empty picture changes).
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    // These three store and repaint even when the value is unchanged.
    bool Center() const { return FCenter; }
    void SetCenter(bool Value);
    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value);
    bool Proportional() const { return FProportional; }
    void SetProportional(bool Value);

    // "1.0.2.0"; read-only, writing does nothing.
    QString Version() const;
    void SetVersion(const QString&) {}

    // Where the picture is drawn now, from its measured size.
    QRect DrawRect() const;

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void PictureChanged();
    void ApplyAutoSize();

    std::unique_ptr<TGDIPPicture> FPicture;
    bool FAutoSize = false;
    bool FCenter = false;
    bool FStretch = false;
    bool FProportional = false;
};

} // namespace AdvGDIPicture

} // namespace lumora
