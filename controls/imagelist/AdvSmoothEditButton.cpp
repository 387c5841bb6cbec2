#include "controls/imagelist/AdvSmoothEditButton.h"

#include <QBitmap>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>

namespace lumora {

namespace {

// Frame of a bordered edit around its client area.
constexpr int kFrame = 2;
constexpr int kMinButtonHeight = 10;

} // namespace

TEditButtonGeometry EditButtonGeometry(int width, int height, int clientWidth, int clientHeight, int buttonWidth,
                                       bool flat, bool border, bool ctl3D)
{
    TEditButtonGeometry g;
    const int inset = flat ? 3 : (border ? 4 : 1);
    int left = width - buttonWidth - inset;
    if (!ctl3D)
        left -= 2;
    g.button = QRect(left, flat ? 2 : 0, buttonWidth, height - inset);
    g.textRight = clientWidth - buttonWidth - 3;
    g.textLeft = border ? 1 : 2;
    g.textTop = border ? 1 : 4;
    if (!ctl3D)
        g.textLeft = 2;
    g.textBottom = clientHeight + 1;
    return g;
}

QImage ComboArrowGlyph()
{
    QImage glyph(7, 5, QImage::Format_ARGB32);
    glyph.fill(QColor(Qt::white));
    for (int row = 0; row < 4; ++row)
        for (int x = row; x < 7 - row; ++x)
            glyph.setPixelColor(x, row + 1, QColor(Qt::black));
    return glyph;
}

// ---------------------------------------------------------------- button

TAdvSmoothEditSpeedButton::TAdvSmoothEditSpeedButton(TAdvSmoothEditBtn* edit) : QAbstractButton(edit), Edit_(edit)
{
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
    setAttribute(Qt::WA_Hover);
    resize(17, 17);
    connect(this, &QAbstractButton::clicked, this, [this] { Edit_->ButtonClick(); });
}

void TAdvSmoothEditSpeedButton::mousePressEvent(QMouseEvent* event)
{
    if (Edit_->ButtonFocusesEdit())
        Edit_->setFocus(Qt::MouseFocusReason);
    QAbstractButton::mousePressEvent(event);
}

void TAdvSmoothEditSpeedButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const bool disabled = !Edit_->isEnabled() || Edit_->ReadOnly();

    // 1. the face: a push button in the disabled, pressed, hot or normal state
    QStyleOptionButton face;
    face.initFrom(this);
    face.rect = rect();
    face.state = disabled ? QStyle::State_None : QStyle::State_Enabled;
    if (isDown())
        face.state |= QStyle::State_Sunken;
    else
        face.state |= QStyle::State_Raised;
    if (underMouse() && !disabled)
        face.state |= QStyle::State_MouseOver;
    if (hasFocus())
        face.state |= QStyle::State_HasFocus;
    if (Edit_->Flat())
        face.features |= QStyleOptionButton::Flat;
    style()->drawControl(QStyle::CE_PushButtonBevel, &face, &p, this);

    // 2. the glyph, its bottom-left pixel's colour transparent
    const QRect area = rect().adjusted(2, 2, -2, -2);
    const int shift = isDown() ? 1 : 0;
    QImage glyph = Edit_->Glyph();
    int glyphRight = area.left();
    if (!glyph.isNull()) {
        const QColor key = glyph.pixelColor(0, glyph.height() - 1);
        QPixmap pix = QPixmap::fromImage(glyph);
        pix.setMask(QBitmap::fromImage(glyph.createMaskFromColor(key.rgba(), Qt::MaskInColor)));
        int x = area.left();
        if (glyph.width() < area.width() && Edit_->ButtonCaption().isEmpty())
            x += (area.width() - glyph.width()) / 2;
        int y = area.top();
        if (glyph.height() < area.height())
            y += (area.height() - glyph.height()) / 2;
        if (disabled)
            p.setOpacity(0.5);
        p.drawPixmap(x + shift, y + shift, pix);
        p.setOpacity(1);
        glyphRight = x + glyph.width();
    }

    // 3. the caption, centred without a glyph, else beside it
    if (!Edit_->ButtonCaption().isEmpty()) {
        p.setPen(disabled ? palette().color(QPalette::Disabled, QPalette::ButtonText)
                          : palette().color(QPalette::ButtonText));
        if (glyph.isNull())
            p.drawText(area.translated(shift, shift), Qt::AlignCenter, Edit_->ButtonCaption());
        else
            p.drawText(QRect(glyphRight + 2 + shift, area.top() + shift, area.right() - glyphRight, area.height()),
                       Qt::AlignVCenter | Qt::AlignLeft, Edit_->ButtonCaption());
    }
}

// ---------------------------------------------------------------- edit with button

TAdvSmoothEditBtn::TAdvSmoothEditBtn(QWidget* parent) : TAdvSmoothEdit(parent), Button_(new TAdvSmoothEditSpeedButton(this))
{
    Glyph_ = ComboArrowGlyph();
    PlaceButton();
}

void TAdvSmoothEditBtn::SetButtonWidth(int v)
{
    if (v == ButtonWidth_ || v < 0)
        return;
    ButtonWidth_ = v;
    PlaceButton();
}

void TAdvSmoothEditBtn::SetButtonStyle(TAdvSmoothEditButtonStyle v)
{
    if (v == ButtonStyle_)
        return;
    ButtonStyle_ = v;
    Button_->update();
}

void TAdvSmoothEditBtn::SetButtonHint(const QString& v)
{
    ButtonHint_ = v;
    Button_->setToolTip(v);
}

void TAdvSmoothEditBtn::SetButtonCaption(const QString& v)
{
    if (v == ButtonCaption_)
        return;
    ButtonCaption_ = v;
    Button_->update();
}

void TAdvSmoothEditBtn::SetGlyph(const QImage& v)
{
    Glyph_ = v;
    Button_->update();
}

void TAdvSmoothEditBtn::SetFlat(bool v)
{
    if (v == Flat_)
        return;
    Flat_ = v;
    PlaceButton();
}

void TAdvSmoothEditBtn::SetEtched(bool v)
{
    if (v == Etched_)
        return;
    Etched_ = v;
    Button_->update();
}

void TAdvSmoothEditBtn::ButtonClick()
{
    Fire(OnClickBtn, this);
}

bool TAdvSmoothEditBtn::KeyDown(int& key, TShiftState)
{
    // A read-only view of the text: Delete does nothing.
    return !EditorEnabled_ && key == Qt::Key_Delete;
}

bool TAdvSmoothEditBtn::KeyPress(QChar& key)
{
    return !EditorEnabled_ && key != QChar('\r') && key != QChar(27);
}

void TAdvSmoothEditBtn::SetEditorEnabled(bool v)
{
    if (EditorEnabled_ == v)
        return;
    EditorEnabled_ = v;
    // The button stands in for the edit as the focus target; Qt then keeps
    // the tab order and moves a focus the edit already has.
    Button_->setFocusPolicy(v ? Qt::NoFocus : Qt::StrongFocus);
    setFocusProxy(v ? nullptr : Button_);
}

void TAdvSmoothEditBtn::resizeEvent(QResizeEvent* event)
{
    TAdvSmoothEdit::resizeEvent(event);
    PlaceButton();
}

void TAdvSmoothEditBtn::PlaceButton()
{
    // An edit lower than the button's smallest height grows first.
    const bool border = BorderStyle() == bsSingle;
    const int frame = border ? kFrame : 0;
    if (height() < kMinButtonHeight + 2 * frame)
        resize(width(), kMinButtonHeight + 2 * frame);
    const TEditButtonGeometry g = EditButtonGeometry(width(), height(), width() - 2 * frame, height() - 2 * frame,
                                                     ButtonWidth_, Flat_, border, true);
    // The geometry is in client coordinates; the widget's include the frame.
    Button_->setGeometry(g.button.translated(frame, frame));
    setTextMargins(0, 0, width() - 2 * frame - g.textRight, 0);
}

} // namespace lumora
