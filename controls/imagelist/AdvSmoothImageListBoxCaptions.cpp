// The image list box's item captions and splitter expanders under the mouse:
// which text an item shows, anchors in captions, and the expander buttons
// that fold a group of items away.

#include "controls/imagelist/AdvSmoothImageListBox.h"
#include "controls/imagelist/AdvSmoothImageListBoxHTMLRender.h"

namespace lumora {

// The caption template is used for items without a caption of their own, and
// for every item when it names <#CAPTION> (it then dresses the item's own
// caption). Template captions are drawn in DefaultHTMLText's style.
static bool UsesTemplate(const TAdvSmoothImageListBoxItem& item, const TAdvSmoothImageListBoxHTMLText& templ)
{
    if (templ.Text().isEmpty())
        return false;
    return item.Caption().Text().isEmpty() || templ.Text().contains(QLatin1String("<#CAPTION>"), Qt::CaseInsensitive);
}

QString TAdvSmoothImageListBox::ItemDisplayText(int index)
{
    if (index < 0 || index >= Items_.Count())
        return {};
    const TAdvSmoothImageListBoxItem& item = *Items_[index];
    QString text = item.Caption().Text();
    if (UsesTemplate(item, DefaultHTMLText_))
        text = FillTemplate(DefaultHTMLText_.Text(),
                            {item.Caption().Text(), item.FileName(), item.FileSize(), item.FileDate(), item.Hint()});
    Fire(OnItemGetDisplayText, this, index, text);
    return text;
}

const TAdvSmoothImageListBoxHTMLText& TAdvSmoothImageListBox::CaptionStyleOf(
    const TAdvSmoothImageListBoxItem& item) const
{
    return UsesTemplate(item, DefaultHTMLText_) ? DefaultHTMLText_ : item.Caption();
}

std::optional<std::pair<int, QString>> TAdvSmoothImageListBox::AnchorAt(QPointF p)
{
    if (!ItemAppearance_.TextVisible() || !Layout_.itemArea.contains(p))
        return std::nullopt;
    for (const TDisplayEntry& e : Layout_.entries) {
        if (e.splitter || !e.rect.contains(p))
            continue;
        const TAdvSmoothImageListBoxItem& item = *Items_[e.item];
        if (!item.Enabled())
            return std::nullopt; // disabled items take no clicks, their anchors neither
        const QString text = ItemDisplayText(e.item);
        if (text.isEmpty() || !text.contains(QLatin1Char('<')))
            return std::nullopt;
        const TPlacedCaption caption =
            PlaceHTMLText(text, CaptionStyleOf(item), TextRect(e.rect, ItemAppearance_.Placement()),
                      &CaptionCache_);
        if (const std::optional<QString> href = caption.AnchorAt(p))
            return std::make_pair(e.item, *href);
        return std::nullopt;
    }
    return std::nullopt;
}

void TAdvSmoothImageListBox::PressCaptionOrExpander(QPointF p)
{
    const TAdvSmoothImageListBoxSplitter& s = ItemAppearance_.Splitter();
    PressedExpander_ = s.ExpanderVisible() ? SplitterExpanderAt(Layout_.entries, Layout_.itemArea,
                                                                Flow() != flDownwards, s.ExpanderSize(),
                                                                s.Spacing(), p)
                                           : -1;
    PressedAnchorItem_ = -1;
    PressedAnchor_.clear();
    if (const auto anchor = AnchorAt(p)) {
        PressedAnchorItem_ = anchor->first;
        PressedAnchor_ = anchor->second;
    }
}

bool TAdvSmoothImageListBox::ClickCaptionOrExpander(QPointF p)
{
    const int expander = PressedExpander_;
    const int anchorItem = PressedAnchorItem_;
    const QString anchor = PressedAnchor_;
    ReleaseCaptionOrExpander();
    if (expander >= 0 && expander < Items_.Count()) {
        const TAdvSmoothImageListBoxSplitter& s = ItemAppearance_.Splitter();
        if (SplitterExpanderAt(Layout_.entries, Layout_.itemArea, Flow() != flDownwards, s.ExpanderSize(),
                               s.Spacing(), p) == expander) {
            TAdvSmoothImageListBoxItem& item = *Items_[expander];
            item.SetSplitterState(item.SplitterState() == stExpanded ? stCollapsed : stExpanded);
        }
        return true;
    }
    if (anchorItem >= 0) {
        // Only a release over the same anchor is a click on it.
        const auto now = AnchorAt(p);
        if (now && now->first == anchorItem && now->second == anchor)
            Fire(OnItemAnchorClick, this, anchorItem, anchor);
        return true;
    }
    return false;
}

void TAdvSmoothImageListBox::ReleaseCaptionOrExpander()
{
    PressedExpander_ = -1;
    PressedAnchorItem_ = -1;
    PressedAnchor_.clear();
}

void TAdvSmoothImageListBox::UpdateAnchorCursor(QPointF p)
{
    const bool overAnchor = !MouseDown_ && AnchorAt(p).has_value();
    if (overAnchor)
        setCursor(Qt::PointingHandCursor);
    else if (testAttribute(Qt::WA_SetCursor))
        unsetCursor();
}

} // namespace lumora
