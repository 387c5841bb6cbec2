// Drag and drop of the image list box. A press on a selected item followed by
// a move asks OnItemStartDrag whether the move drags the item instead of
// scrolling. With OleDragDrop the drag is a window-system drag carrying the
// item's file as a URL and its picture, and files dropped on the list box
// from outside are added as items.

#include "controls/imagelist/AdvSmoothImageListBox.h"
#include "platform/gdiplus/Image.h"
#include "platform/shell/FileSystem.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QImageReader>
#include <QMimeData>
#include <QPixmap>
#include <QPointer>
#include <QUrl>

namespace lumora {

namespace {

QStringList LocalFiles(const QMimeData* data)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            files.push_back(url.toLocalFile());
    return files;
}

bool IsPictureName(const QString& file)
{
    static const QList<QByteArray> formats = QImageReader::supportedImageFormats();
    return formats.contains(QFileInfo(file).suffix().toLower().toLatin1());
}

} // namespace

void TAdvSmoothImageListBox::SetOleDragDrop(bool v)
{
    if (v == OleDragDrop_)
        return;
    OleDragDrop_ = v;
    setAcceptDrops(v);
}

// ---------------------------------------------------------------- starting a drag

void TAdvSmoothImageListBox::PressForDrag(int item)
{
    Drag_ = {};
    if (item >= 0 && (item == Selected_ || (MultiSelect_ && Items_[item]->Selected())))
        Drag_.item = item;
}

bool TAdvSmoothImageListBox::MoveForDrag()
{
    if (Drag_.active)
        return true;
    if (Drag_.item < 0 || Drag_.decided)
        return false;
    // Asked once per press: a refused drag scrolls for the rest of it.
    Drag_.decided = true;
    bool allow = OleDragDrop_;
    Fire(OnItemStartDrag, this, Drag_.item, allow);
    if (!allow)
        return false;
    Drag_.active = true;
    Hovered_ = -1;
    if (OleDragDrop_)
        ExecOleDrag(Drag_.item);
    return true;
}

bool TAdvSmoothImageListBox::ReleaseForDrag()
{
    const bool active = Drag_.active;
    Drag_ = {};
    return active;
}

QMimeData* TAdvSmoothImageListBox::MakeDragData(int item) const
{
    auto* data = new QMimeData;
    if (item < 0 || item >= Items_.Count())
        return data;
    const TAdvSmoothImageListBoxItem& it = *Items_[item];
    if (!it.Location().isEmpty())
        data->setUrls({QUrl::fromLocalFile(it.Location())});
    // The picture goes along as the item holds it: a directly given image
    // whole, a picture from a file as its thumbnail (the URL names the file).
    const gdiplus::Image* image = it.Image().Empty() ? nullptr : it.Image().Image();
    if (image)
        data->setImageData(image->ToQImage());
    else if (it.LoadState() == lsReady && !it.Thumbnail().thumbnail.isNull())
        data->setImageData(it.Thumbnail().thumbnail);
    return data;
}

void TAdvSmoothImageListBox::ExecOleDrag(int item)
{
    auto* drag = new QDrag(this);
    QMimeData* data = MakeDragData(item);
    if (data->hasImage()) {
        const QImage picture = qvariant_cast<QImage>(data->imageData());
        drag->setPixmap(QPixmap::fromImage(picture.scaled(QSize(96, 96).boundedTo(picture.size()),
                                                          Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    }
    drag->setMimeData(data);
    // The drag runs its own event loop until the button is released there;
    // this control may be gone when it returns.
    const QPointer<TAdvSmoothImageListBox> self(this);
    drag->exec(Qt::CopyAction);
    if (!self)
        return;
    MouseDown_ = false;
    Drag_ = {};
    update();
}

// ---------------------------------------------------------------- dropping files

bool TAdvSmoothImageListBox::AcceptsDrag(const QMimeData* data, QObject* source)
{
    // An item dragged out of this list box and let go over it again is no new picture.
    if (!OleDragDrop_ || source == this || LocalFiles(data).isEmpty())
        return false;
    bool allow = true;
    Fire(OnOleDragOver, this, allow);
    return allow;
}

void TAdvSmoothImageListBox::dragEnterEvent(QDragEnterEvent* event)
{
    if (AcceptsDrag(event->mimeData(), event->source()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TAdvSmoothImageListBox::dragMoveEvent(QDragMoveEvent* event)
{
    if (AcceptsDrag(event->mimeData(), event->source()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TAdvSmoothImageListBox::dropEvent(QDropEvent* event)
{
    if (!OleDragDrop_ || event->source() == this) {
        event->ignore();
        return;
    }
    QStringList files = LocalFiles(event->mimeData());
    if (files.isEmpty()) {
        event->ignore();
        return;
    }
    Fire(OnOleDragDrop, this, files);
    AddDroppedFiles(files);
    event->acceptProposedAction();
}

int TAdvSmoothImageListBox::AddDroppedFiles(const QStringList& files)
{
    int added = 0;
    Items_.BeginUpdate();
    for (const QString& file : files) {
        const std::optional<TFoundFile> facts = FileFacts(file);
        if (!facts || !IsPictureName(file))
            continue;
        TAdvSmoothImageListBoxItem* item = Items_.Add();
        item->SetLocation(facts->Path);
        item->SetFileName(facts->Name);
        item->SetFileSize(facts->Size);
        item->SetFileDate(facts->Modified);
        item->SetLoadState(lsWaiting);
        if (ItemAppearance_.TextVisible()) {
            item->Caption().SetText(facts->Name);
            item->Caption().SetLocation(cpCenterCenter);
        }
        ++added;
    }
    Items_.EndUpdate();
    return added;
}

} // namespace lumora
