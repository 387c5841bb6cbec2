#include "controls/buttons/AdvSmoothButton.h"

#include "controls/access/AccessibleControls.h"
#include "controls/access/FocusMark.h"
#include "controls/fill/GDIPFill.h"
#include "platform/gdiplus/Graphics.h"
#include "platform/gdiplus/GraphicsPath.h"
#include "platform/gdiplus/Pen.h"

#include <QDialog>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QShortcutEvent>
#include <QTimer>

#include <array>
#include <cmath>
#include <optional>

namespace lumora {

namespace {

constexpr std::uint32_t kVersion = 0x01060901;
constexpr int kFocusRingRadius = 8;
// How long the face stays down after an accelerator click.
constexpr int kAcceleratorPressMs = 150;

TMouseButton ToMouseButton(Qt::MouseButton button)
{
    switch (button) {
    case Qt::RightButton: return mbRight;
    case Qt::MiddleButton: return mbMiddle;
    default: return mbLeft;
    }
}

TShiftState ToShiftState(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons = Qt::NoButton)
{
    TShiftState s = 0;
    if (modifiers & Qt::ShiftModifier)
        s |= ssShift;
    if (modifiers & Qt::AltModifier)
        s |= ssAlt;
    if (modifiers & Qt::ControlModifier)
        s |= ssCtrl;
    if (buttons & Qt::LeftButton)
        s |= ssLeft;
    if (buttons & Qt::RightButton)
        s |= ssRight;
    if (buttons & Qt::MiddleButton)
        s |= ssMiddle;
    return s;
}

// A parent that is not a form has only a Qt font: take its family, size and
// style, keeping the colour.
void CopyQFont(const QFont& from, TFont& to)
{
    to.BeginUpdate();
    to.SetName(from.family());
    if (from.pixelSize() > 0)
        to.SetHeight(-from.pixelSize());
    else
        to.SetSize(int(std::lround(from.pointSizeF())));
    TFontStyles style = 0;
    if (from.bold())
        style |= fsBold;
    if (from.italic())
        style |= fsItalic;
    if (from.underline())
        style |= fsUnderline;
    if (from.strikeOut())
        style |= fsStrikeOut;
    to.SetStyle(style);
    to.EndUpdate();
}

// The kit's colour styles; std::nullopt keeps the colour.
std::optional<TColor> StyleColor(int style)
{
    static constexpr std::array<TColor, 16> kStyles = {
        0xE3B28D, 0x927476, 0x447A63, 0xC9D1D5, 0xFDEADA, 0x6E6E6D, 0xB9D8DC, 0x828F92,
        clNone,   0xE7DCD5, 0xFDF8F1, 0xFCEBDC, clBtnFace, 0xF0DAC7, 0xEDE5E0, 0x919191,
    };
    if (style < 0 || style >= int(kStyles.size()) || kStyles[std::size_t(style)] == clNone)
        return std::nullopt;
    return kStyles[std::size_t(style)];
}

} // namespace

TAdvSmoothButton::TAdvSmoothButton(QWidget* parent) : TCustomControl(parent)
{
    resize(120, 35);
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover, false);
    setMouseTracking(false);

    appearance_.OnChange = [this](TObject*) { Changed(); };
    // A font set on the appearance is the button's own from then on.
    appearance_.OnFontChange = [this](TObject*) { parentFont_ = false; };
    // The parent's font is not the button's to store.
    appearance_.OnIsFontStored = [this](TObject*, bool& stored) { stored = !parentFont_; };
    status_.OnChange = [this](TObject*) { Changed(); };
    picture_.OnChange = [this](TObject*) { Changed(); };

    AllocateCache();
    TakeParentFont();
}

TAdvSmoothButton::~TAdvSmoothButton()
{
    appearance_.OnChange = nullptr;
    status_.OnChange = nullptr;
    picture_.OnChange = nullptr;
}

// ---------------------------------------------------------------------------
// Properties
// ---------------------------------------------------------------------------

void TAdvSmoothButton::SetBevel(bool value)
{
    if (StoreIfDifferent(bevel_, value))
        Changed();
}

void TAdvSmoothButton::SetBevelColor(TColor value)
{
    if (StoreIfDifferent(bevelColor_, value))
        Changed();
}

void TAdvSmoothButton::SetCaption(const QString& value)
{
    if (!StoreIfDifferent(caption_, value))
        return;
    UpdateAccelerator();
    Changed();
}

void TAdvSmoothButton::SetColor(TColor value)
{
    if (StoreIfDifferent(color_, value))
        Changed();
}

void TAdvSmoothButton::SetPicture(const TAdvGDIPPicture& value)
{
    if (&value != &picture_)
        picture_.Assign(&value);
}

void TAdvSmoothButton::SetShadow(bool value)
{
    if (StoreIfDifferent(shadow_, value))
        Changed();
}

void TAdvSmoothButton::SetShowFocus(bool value)
{
    if (StoreIfDifferent(showFocus_, value))
        Changed();
}

void TAdvSmoothButton::SetHorizontalSpacing(int value)
{
    if (StoreIfDifferent(horizontalSpacing_, value))
        Changed();
}

void TAdvSmoothButton::SetVerticalSpacing(int value)
{
    if (StoreIfDifferent(verticalSpacing_, value))
        Changed();
}

void TAdvSmoothButton::SetParentFont(bool value)
{
    if (!StoreIfDifferent(parentFont_, value))
        return;
    TakeParentFont();
    Changed();
}

void TAdvSmoothButton::SetTabStop(bool value)
{
    if (!StoreIfDifferent(tabStop_, value))
        return;
    setFocusPolicy(value ? Qt::TabFocus : Qt::NoFocus);
    Changed();
}

QString TAdvSmoothButton::Version() const
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg((kVersion >> 24) & 0xFF)
        .arg((kVersion >> 16) & 0xFF)
        .arg((kVersion >> 8) & 0xFF)
        .arg(kVersion & 0xFF);
}

void TAdvSmoothButton::ApplyColorStyle(int style)
{
    if (const auto colour = StyleColor(style))
        SetColor(*colour);
}

int TAdvSmoothButton::FaceHSpacing() const
{
    return status_.IsShown() ? horizontalSpacing_ : 0;
}

int TAdvSmoothButton::FaceVSpacing() const
{
    return status_.IsShown() ? verticalSpacing_ : 0;
}

// ---------------------------------------------------------------------------
// Click
// ---------------------------------------------------------------------------

void TAdvSmoothButton::Click()
{
    if (auto* dialog = qobject_cast<QDialog*>(window())) {
        dialog->setResult(modalResult_);
        // A non-zero result ends a modal dialog, as a dialog's buttons do.
        if (modalResult_ != 0 && dialog->isModal())
            dialog->done(modalResult_);
    }
    Fire(OnClick, this);
}

// ---------------------------------------------------------------------------
// Face cache and painting
// ---------------------------------------------------------------------------

void TAdvSmoothButton::Changed()
{
    cacheCurrent_ = false;
    update();
}

void TAdvSmoothButton::AllocateCache()
{
    cache_ = QImage(std::max(width(), 1), std::max(height(), 1), QImage::Format_ARGB32_Premultiplied);
    cacheCurrent_ = false;
}

void TAdvSmoothButton::UpdateFaceCache()
{
    // A resize of a hidden widget reaches resizeEvent only when it is shown.
    if (cache_.size() != QSize(std::max(width(), 1), std::max(height(), 1)))
        AllocateCache();
    if (!cacheCurrent_)
        DrawFaceCache();
}

void TAdvSmoothButton::DrawFaceCache()
{
    cache_.fill(Qt::transparent);
    gdiplus::Graphics graphics(&cache_);
    graphics.SetSmoothingMode(gdiplus::SmoothingModeAntiAlias);
    graphics.SetTextRenderingHint(gdiplus::TextRenderingHintAntiAlias);

    const TColor faceColor = isEnabled() ? color_ : kDisabledColor;
    appearance_.DrawFace(graphics, caption_, &picture_, bevel_, down_ && hovered_, shadow_, bevelColor_, faceColor,
                         FaceHSpacing(), FaceVSpacing(), height(), width());
    if (tabStop_ && focused_ && showFocus_)
        DrawFocusRing(graphics);
    if (status_.IsShown())
        DrawBadge(graphics);
    cacheCurrent_ = true;
}

void TAdvSmoothButton::DrawFocusRing(gdiplus::Graphics& graphics) const
{
    // Inside the face's edge, so that the whole width of the mark shows.
    const gdiplus::Pen pen = FocusMarkPen(*this);
    const float inset = kFocusMarkWidth / 2;
    auto path = CreateRoundedPath(gdiplus::RectF(inset, inset, float(width() - 1) - 2 * inset,
                                                 float(height() - 1) - 2 * inset),
                                  kFocusRingRadius, rtBoth);
    graphics.DrawPath(&pen, path.get());
}

void TAdvSmoothButton::DrawBadge(gdiplus::Graphics& graphics)
{
    TGDIPStatus& badge = status_.Appearance();
    badge.Measure(graphics, status_.Caption());
    badge.DrawBadge(graphics, width() - badge.Width() + status_.OffsetLeft(), status_.Caption(), true, 0, 0,
                    status_.OffsetTop());
}

void TAdvSmoothButton::paintEvent(QPaintEvent*)
{
    // Qt composes the parent's look under this widget, so rounded corners and
    // the shadow show what lies behind without copying it here.
    UpdateFaceCache();
    QPainter painter(this);
    painter.drawImage(0, 0, cache_);
}

void TAdvSmoothButton::resizeEvent(QResizeEvent* event)
{
    TCustomControl::resizeEvent(event);
    AllocateCache();
}

// ---------------------------------------------------------------------------
// Input
// ---------------------------------------------------------------------------

void TAdvSmoothButton::enterEvent(QEnterEvent* event)
{
    TCustomControl::enterEvent(event);
    Fire(OnMouseEnter, this);
    hovered_ = true;
    Changed();
}

void TAdvSmoothButton::leaveEvent(QEvent* event)
{
    TCustomControl::leaveEvent(event);
    Fire(OnMouseLeave, this);
    hovered_ = false;
    down_ = false;
    Changed();
}

void TAdvSmoothButton::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    Fire(OnMouseDown, this, ToMouseButton(event->button()), ToShiftState(event->modifiers(), event->buttons()),
         at.x(), at.y());
    if (!isEnabled())
        return;
    down_ = true;
    if (tabStop_)
        setFocus(Qt::MouseFocusReason);
    Changed();
}

void TAdvSmoothButton::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    Fire(OnMouseUp, this, ToMouseButton(event->button()), ToShiftState(event->modifiers(), event->buttons()),
         at.x(), at.y());
    // Every release clicks, wherever it happens: the button holds the mouse
    // while a button is down, so a release outside still reaches it.
    QPointer<TAdvSmoothButton> alive(this);
    Click();
    if (alive.isNull() || !isEnabled())
        return;
    down_ = false;
    Changed();
}

void TAdvSmoothButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a left double click only raises OnDblClick; other
    // buttons' second presses are ordinary presses.
    if (event->button() != Qt::LeftButton) {
        mousePressEvent(event);
        return;
    }
    Fire(OnDblClick, this);
}

void TAdvSmoothButton::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    Fire(OnMouseMove, this, ToShiftState(event->modifiers(), event->buttons()), at.x(), at.y());
}

void TAdvSmoothButton::keyPressEvent(QKeyEvent* event)
{
    int key = event->key();
    Fire(OnKeyDown, this, key, ToShiftState(event->modifiers()));
    const bool clickKey = key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
    if (!clickKey) {
        if (!event->text().isEmpty() && OnKeyPress) {
            QChar c = event->text().at(0);
            OnKeyPress(this, c);
        }
        event->ignore();
        return;
    }
    QChar c = key == Qt::Key_Space ? QChar(' ') : QChar('\r');
    Fire(OnKeyPress, this, c);
    // A handler that swallows the key (sets it to 0) cancels the click.
    if (c.isNull())
        return;
    Click();
}

void TAdvSmoothButton::keyReleaseEvent(QKeyEvent* event)
{
    int key = event->key();
    Fire(OnKeyUp, this, key, ToShiftState(event->modifiers()));
    event->ignore();
}

void TAdvSmoothButton::focusInEvent(QFocusEvent* event)
{
    TCustomControl::focusInEvent(event);
    focused_ = true;
    Fire(OnEnter, this);
    Changed();
}

void TAdvSmoothButton::focusOutEvent(QFocusEvent* event)
{
    TCustomControl::focusOutEvent(event);
    focused_ = false;
    Fire(OnExit, this);
    Changed();
}

void TAdvSmoothButton::changeEvent(QEvent* event)
{
    TCustomControl::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
        Changed();
        break;
    case QEvent::FontChange:
        TakeParentFont();
        break;
    default:
        break;
    }
}

bool TAdvSmoothButton::event(QEvent* event)
{
    if (event->type() == QEvent::Shortcut) {
        auto* shortcut = static_cast<QShortcutEvent*>(event);
        const int id = shortcut->shortcutId();
        if ((id == acceleratorId_ || id == accessKeyId_) && id != 0 && PressAccelerator())
            return true;
    }
    if (event->type() == QEvent::ParentChange) {
        UpdateAccelerator();
        TakeParentFont();
    }
    return TCustomControl::event(event);
}

// ---------------------------------------------------------------------------
// Accelerator and parent font
// ---------------------------------------------------------------------------

void TAdvSmoothButton::UpdateAccelerator()
{
    if (acceleratorId_ != 0) {
        releaseShortcut(acceleratorId_);
        acceleratorId_ = 0;
    }
    const QKeySequence mnemonic = QKeySequence::mnemonic(caption_);
    if (!mnemonic.isEmpty())
        acceleratorId_ = grabShortcut(mnemonic);
}

void TAdvSmoothButton::SetAccessKey(const QKeySequence& key)
{
    if (key == accessKey_)
        return;
    if (accessKeyId_ != 0)
        releaseShortcut(accessKeyId_);
    accessKey_ = key;
    accessKeyId_ = key.isEmpty() ? 0 : grabShortcut(key);
}

bool TAdvSmoothButton::PressAccelerator()
{
    // Only a button that could take the focus answers its letter.
    if (!isEnabled() || !isVisible())
        return false;
    // This path shows the face it already has: the cache is not marked stale.
    down_ = true;
    repaint();
    QPointer<TAdvSmoothButton> alive(this);
    Click();
    if (alive.isNull())
        return true;
    QTimer::singleShot(kAcceleratorPressMs, this, [this] {
        down_ = false;
        repaint();
    });
    return true;
}

void TAdvSmoothButton::TakeParentFont()
{
    if (!parentFont_ || parentWidget() == nullptr)
        return;
    // The copy is the parent's, not a change of the button's own font.
    appearance_.DetachFontChange();
    if (auto* form = dynamic_cast<TForm*>(parentWidget()))
        appearance_.Font().Assign(form->Font());
    else
        CopyQFont(parentWidget()->font(), appearance_.Font());
    appearance_.AttachFontChange();
    Changed();
}

} // namespace lumora
