#include "controls/imagelist/AdvSmoothImageListBoxSelection.h"

#include "controls/imagelist/AdvSmoothImageListBox.h"

#include <QKeyEvent>

#include <algorithm>
#include <chrono>
#include <utility>

namespace lumora {

// ---------------------------------------------------------------- look-up text

const QString& TLookUp::Type(QChar c, std::int64_t nowMs)
{
    if (!Typing(nowMs))
        text.clear();
    text += c;
    last = nowMs;
    return text;
}

bool TLookUp::Typing(std::int64_t nowMs) const
{
    return !text.isEmpty() && nowMs - last <= kLookUpResetMs;
}

int FindByPrefix(const std::vector<TLookUpEntry>& entries, const QString& prefix)
{
    if (prefix.isEmpty())
        return -1;
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].selectable && entries[i].name.startsWith(prefix, Qt::CaseInsensitive))
            return int(i);
    return -1;
}

namespace {

std::int64_t SteadyMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool Selectable(const TAdvSmoothImageListBoxItem& item)
{
    return item.Visible() && item.Enabled() && !item.Splitter();
}

} // namespace

// ---------------------------------------------------------------- marks

void TAdvSmoothImageListBox::SetMultiSelect(bool v)
{
    if (v == MultiSelect_)
        return;
    MultiSelect_ = v;
    if (!v) {
        // Back to one selection: only the selected item keeps its mark.
        for (int i = 0; i < Items_.Count(); ++i)
            if (i != Selected_)
                SetSelectedQuietly(i, false);
    }
    Anchor_ = Selected_;
    update();
}

void TAdvSmoothImageListBox::SetSelectedQuietly(int item, bool selected)
{
    // A mark changes no geometry: one repaint by the caller is enough, where
    // the item's own change notification would rebuild the layout per item.
    auto hook = std::exchange(Items_.OnItemChange, nullptr);
    Items_[item]->SetSelected(selected);
    Items_.OnItemChange = std::move(hook);
}

void TAdvSmoothImageListBox::ClearMarks()
{
    for (int i = 0; i < Items_.Count(); ++i)
        if (Items_[i]->Selected())
            SetSelectedQuietly(i, false);
}

void TAdvSmoothImageListBox::SelectRange(int fromItem, int toItem, bool keepOthers)
{
    if (!keepOthers)
        ClearMarks();
    // Only what is shown joins a range: not the items of a folded group.
    const int lo = std::min(fromItem, toItem);
    const int hi = std::max(fromItem, toItem);
    for (const TDisplayEntry& e : Layout_.entries)
        if (e.item >= lo && e.item <= hi && !e.splitter && Selectable(*Items_[e.item]))
            SetSelectedQuietly(e.item, true);
}

// ---------------------------------------------------------------- mouse

void TAdvSmoothImageListBox::ClickSelect(int item, Qt::KeyboardModifiers modifiers)
{
    const bool ctrl = modifiers & Qt::ControlModifier;
    const bool shift = modifiers & Qt::ShiftModifier;
    if (item < 0) {
        // A plain click on empty space clears the selection, as with one selection.
        if (!ctrl && !shift) {
            ClearMarks();
            Selected_ = -1;
            update();
        }
        return;
    }
    if (shift) {
        const int anchor = Anchor_ >= 0 && Anchor_ < Items_.Count() ? Anchor_ : Selected_ >= 0 ? Selected_ : item;
        SelectRange(anchor, item, ctrl);
        Anchor_ = anchor;
        Selected_ = item;
    } else if (ctrl) {
        const bool marked = !Items_[item]->Selected();
        SetSelectedQuietly(item, marked);
        if (marked)
            Selected_ = item;
        else if (Selected_ == item)
            Selected_ = -1;
        Anchor_ = item;
    } else {
        ClearMarks();
        SetSelectedQuietly(item, true);
        Selected_ = item;
        Anchor_ = item;
    }
    FocusItem_ = item;
    ScrollIntoView(item);
    update();
}

// ---------------------------------------------------------------- keys

void TAdvSmoothImageListBox::NavigationKey(TNavKey key, Qt::KeyboardModifiers modifiers)
{
    if (!MultiSelect_) {
        KeyNavigate(key);
        return;
    }
    int first = -1;
    int last = -1;
    VisibleRange(first, last);
    const int from = FocusItem_ >= 0 && FocusItem_ < Items_.Count() ? FocusItem_ : Selected_;
    const int k = NavigateIndex(key, EntryOf(from), EntryStates(), Flow(), Rows_, Columns_, first, last);
    if (k < 0)
        return;
    const int item = Layout_.entries[size_t(k)].item;
    const bool ctrl = modifiers & Qt::ControlModifier;
    const bool shift = modifiers & Qt::ShiftModifier;
    FocusItem_ = item;
    if (shift) {
        const int anchor = Anchor_ >= 0 && Anchor_ < Items_.Count() ? Anchor_ : from >= 0 ? from : item;
        SelectRange(anchor, item, ctrl);
        Anchor_ = anchor;
        Selected_ = item;
    } else if (!ctrl) {
        ClearMarks();
        SetSelectedQuietly(item, true);
        Selected_ = item;
        Anchor_ = item;
    }
    // Ctrl alone moves only the focus item; the selection stays.
    ScrollIntoView(item);
    update();
    if (!ctrl || shift)
        Fire(OnItemSelect, this, item);
}

bool TAdvSmoothImageListBox::SelectionKey(QKeyEvent* event)
{
    if (!MultiSelect_ || event->key() != Qt::Key_Space || FocusItem_ < 0 || FocusItem_ >= Items_.Count())
        return false;
    const int item = FocusItem_;
    if (!Selectable(*Items_[item]))
        return true;
    if (event->modifiers() & Qt::ShiftModifier) {
        const int anchor = Anchor_ >= 0 && Anchor_ < Items_.Count() ? Anchor_ : item;
        SelectRange(anchor, item, event->modifiers() & Qt::ControlModifier);
        Anchor_ = anchor;
        Selected_ = item;
    } else {
        const bool marked = !Items_[item]->Selected();
        SetSelectedQuietly(item, marked);
        if (marked)
            Selected_ = item;
        else if (Selected_ == item)
            Selected_ = -1;
        Anchor_ = item;
    }
    update();
    if (Items_[item]->Selected())
        Fire(OnItemSelect, this, item);
    return true;
}

bool TAdvSmoothImageListBox::LookUpKey(QKeyEvent* event)
{
    const Qt::KeyboardModifiers commands = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if (!KeyBoardLookUp_ || Zoom_.item >= 0 || (event->modifiers() & commands))
        return false;
    const QString typed = event->text();
    if (typed.isEmpty() || !typed.at(0).isPrint())
        return false;
    const std::int64_t now = SteadyMs();
    // A space on its own keeps its meaning (zoom, or toggle with several
    // selections); inside a look-up text it is part of the name.
    if (typed.at(0) == QLatin1Char(' ') && !LookUp_.Typing(now))
        return false;
    const QString& text = LookUp_.Type(typed.at(0), now);

    // The shown items, in display order: never one inside a folded group.
    std::vector<TLookUpEntry> entries;
    entries.reserve(Layout_.entries.size());
    for (const TDisplayEntry& e : Layout_.entries) {
        const TAdvSmoothImageListBoxItem& it = *Items_[e.item];
        entries.push_back({it.Caption().Text().isEmpty() ? it.FileName() : it.Caption().Text(),
                           !e.splitter && Selectable(it)});
    }
    const int k = FindByPrefix(entries, text);
    if (k < 0)
        return true;
    SelectItemAsKeysDo(Layout_.entries[size_t(k)].item);
    return true;
}

namespace {
bool Selectable(const TAdvSmoothImageListBoxItems& items, int item)
{
    return item >= 0 && item < items.Count() && !items[item]->Splitter();
}
} // namespace

void TAdvSmoothImageListBox::SelectItemAsKeysDo(int item)
{
    if (!Selectable(Items_, item))
        return;
    if (MultiSelect_) {
        ClearMarks();
        SetSelectedQuietly(item, true);
        Selected_ = FocusItem_ = Anchor_ = item;
    } else {
        SetSelectedItemIndex(item);
    }
    ScrollIntoView(item);
    update();
    Fire(OnItemSelect, this, item);
}

void TAdvSmoothImageListBox::ClickItem(int item)
{
    if (!Selectable(Items_, item))
        return;
    if (MultiSelect_)
        ClickSelect(item, Qt::NoModifier);
    else
        SetSelectedItemIndex(item);
    update();
    if (Selected_ != item)
        return;
    Fire(OnItemClick, this, item, TShiftState(0), mbLeft);
    Fire(OnItemSelect, this, Selected_);
}

} // namespace lumora
