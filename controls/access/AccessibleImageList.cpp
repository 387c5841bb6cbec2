#include "controls/access/AccessibleImageList.h"

#include "controls/imagelist/AdvSmoothImageListBox.h"
#include "controls/imagelist/AdvSmoothImageListBoxPicker.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFileInfo>
#include <QHash>
#include <QPointer>

namespace lumora {

namespace {

// The picker that drops `box` down, when it is one's list.
TAdvSmoothImageListBoxPicker* PickerOf(const TAdvSmoothImageListBox* box)
{
    QWidget* popup = box->parentWidget();
    return popup ? dynamic_cast<TAdvSmoothImageListBoxPicker*>(popup->parentWidget()) : nullptr;
}

// One picture of the list. Items are no widgets: each is known by the list
// and its index, and is valid while the list holds that many items.
//
// Its actions: Press picks the picture as a click or Enter does (in the
// picker, that applies its profile and closes the list); SetFocus moves the
// list's selection to it as the arrow keys do, which in the picker only
// shows it.
class ImageListItemAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    ImageListItemAccessible(TAdvSmoothImageListBox* box, int index) : box_(box), index_(index) {}

    bool isValid() const override { return box_ && index_ < box_->Items().Count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return box_ ? box_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(box_.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::Role role() const override { return QAccessible::ListItem; }

    QString text(QAccessible::Text t) const override
    {
        if (!isValid() || t != QAccessible::Name)
            return {};
        const TAdvSmoothImageListBoxItem* item = box_->Items()[index_];
        // The caption is the picture's name where the list was filled from
        // files; a bare item is read by its picture's file name.
        const QString caption = item->Caption().Text();
        return caption.isEmpty() ? QFileInfo(item->Location()).completeBaseName() : caption;
    }

    QRect rect() const override
    {
        if (!isValid() || !box_->isVisible())
            return {};
        for (const TDisplayEntry& entry : box_->DisplayList())
            if (entry.item == index_ && !entry.splitter)
                return QRect(box_->mapToGlobal(entry.rect.topLeft().toPoint()), entry.rect.size().toSize());
        return {};
    }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid())
            return s;
        const bool selected = box_->SelectedItemIndex() == index_;
        s.selectable = true;
        s.selected = selected;
        s.focusable = true;
        s.focused = selected && box_->hasFocus();
        s.invisible = !box_->isVisible();
        s.offscreen = rect().isEmpty();
        s.disabled = !box_->isEnabled();
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface*>(this);
        return nullptr;
    }
    QStringList actionNames() const override
    {
        if (!isValid() || box_->Items()[index_]->Splitter())
            return {};
        return {pressAction(), setFocusAction()};
    }
    QStringList keyBindingsForAction(const QString& name) const override
    {
        if (name == pressAction())
            return {QStringLiteral("Return")};
        return {};
    }
    void doAction(const QString& name) override
    {
        if (!isValid() || !box_->isEnabled())
            return;
        if (name == pressAction()) {
            // After the call returns: the pick may apply a profile and open
            // a box, and the assistive technology waits for its reply.
            QMetaObject::invokeMethod(
                box_.data(), [box = box_, index = index_] {
                    if (box && box->isEnabled())
                        box->ClickItem(index);
                },
                Qt::QueuedConnection);
        } else if (name == setFocusAction()) {
            box_->SelectItemAsKeysDo(index_);
        }
    }

private:
    QPointer<TAdvSmoothImageListBox> box_;
    int index_;
};

class ImageListAccessible : public QAccessibleWidget {
public:
    explicit ImageListAccessible(TAdvSmoothImageListBox* box) : QAccessibleWidget(box, QAccessible::List) {}
    ~ImageListAccessible() override
    {
        for (QAccessible::Id id : std::as_const(items_))
            QAccessible::deleteAccessibleInterface(id);
    }
    TAdvSmoothImageListBox* box() const { return static_cast<TAdvSmoothImageListBox*>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return box()->Header().Caption();
        return QAccessibleWidget::text(t);
    }
    QAccessibleInterface* parent() const override
    {
        if (TAdvSmoothImageListBoxPicker* picker = PickerOf(box()))
            return QAccessible::queryAccessibleInterface(picker);
        return QAccessibleWidget::parent();
    }
    int childCount() const override { return box()->Items().Count(); }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        if (auto found = items_.constFind(index); found != items_.cend())
            return QAccessible::accessibleInterface(*found);
        auto* item = new ImageListItemAccessible(box(), index);
        items_.insert(index, QAccessible::registerAccessibleInterface(item));
        return item;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (auto it = items_.cbegin(); it != items_.cend(); ++it)
            if (QAccessible::accessibleInterface(it.value()) == child)
                return it.key();
        return -1;
    }
    QAccessibleInterface* focusChild() const override
    {
        return box()->hasFocus() ? child(box()->SelectedItemIndex()) : nullptr;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        const QPoint at = box()->mapFromGlobal(QPoint(x, y));
        for (const TDisplayEntry& entry : box()->DisplayList())
            if (!entry.splitter && entry.rect.contains(at))
                return child(entry.item);
        return nullptr;
    }

private:
    mutable QHash<int, QAccessible::Id> items_;
};

// The picker reads as a combo box: its value the chosen picture's name, its
// one child the list it drops down.
class PickerAccessible : public QAccessibleWidget {
public:
    explicit PickerAccessible(TAdvSmoothImageListBoxPicker* picker) : QAccessibleWidget(picker, QAccessible::ComboBox) {}
    TAdvSmoothImageListBoxPicker* picker() const { return static_cast<TAdvSmoothImageListBoxPicker*>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Value: return picker()->Text();
        case QAccessible::Name:
            return widget()->accessibleName().isEmpty() ? picker()->ListBox().Header().Caption()
                                                         : widget()->accessibleName();
        default: return QAccessibleWidget::text(t);
        }
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = picker()->DroppedDown();
        s.collapsed = !s.expanded;
        s.hasPopup = true;
        return s;
    }
    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(&picker()->ListBox()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child && child->object() == &picker()->ListBox() ? 0 : -1;
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override
    {
        return picker()->DroppedDown() ? child(0)->focusChild() : nullptr;
    }

    QStringList actionNames() const override { return QStringList{showMenuAction()} + QAccessibleWidget::actionNames(); }
    QStringList keyBindingsForAction(const QString& name) const override
    {
        if (name == showMenuAction())
            return {QStringLiteral("Alt+Down"), QStringLiteral("F4")};
        return QAccessibleWidget::keyBindingsForAction(name);
    }
    void doAction(const QString& name) override
    {
        if (name == showMenuAction()) {
            if (widget()->isEnabled())
                picker()->DropDownToggle();
        } else {
            QAccessibleWidget::doAction(name);
        }
    }
};

} // namespace

QAccessibleInterface* NewPickerAccessible(TAdvSmoothImageListBoxPicker* picker) { return new PickerAccessible(picker); }
QAccessibleInterface* NewImageListAccessible(TAdvSmoothImageListBox* box) { return new ImageListAccessible(box); }

} // namespace lumora
