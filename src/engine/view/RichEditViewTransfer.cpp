// The desktop clipboard and drag and drop.

#include "engine/view/RichEditView.h"

#include <QClipboard>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QUrl>

namespace richedit::view {

namespace {

// Marks clipboard and drag data as this window's, so that it knows its own data again.
const QString kOwnerMime = QStringLiteral("application/x-quillex-owner");

// Clipboard format numbers a caller may ask EM_CANPASTE about.
constexpr uint32_t kCfText = 1;
constexpr uint32_t kCfBitmap = 2;
constexpr uint32_t kCfDib = 8;
constexpr uint32_t kCfUnicodeText = 13;

QStringList localFiles(const QMimeData* data) {
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            files.append(url.toLocalFile());
    return files;
}

} // namespace

QStringList RichEditView::rtfMimeTypes() {
    return {QStringLiteral("text/rtf"), QStringLiteral("text/richtext"),
            QStringLiteral("application/rtf")};
}

std::unique_ptr<QMimeData> RichEditView::createMimeDataFromSelection() const {
    auto data = std::make_unique<QMimeData>();
    const QByteArray rtf = engine_->SelectionAsRtf();
    for (const QString& type : rtfMimeTypes())
        data->setData(type, rtf);
    data->setText(engine_->SelectionAsText());
    data->setData(kOwnerMime, clipboardToken_);
    return data;
}

bool RichEditView::ownsClipboard() const {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->data(kOwnerMime) == clipboardToken_;
}

void RichEditView::WM_COPY() {
    if (engine_->selection().empty() || !engine_->AllowCopy())
        return;
    QGuiApplication::clipboard()->setMimeData(createMimeDataFromSelection().release());
}

void RichEditView::WM_CUT() {
    RichEditEngine& en = *engine_;
    if (en.ReadOnly() || en.selection().empty() || !en.AllowCopy())
        return;
    std::unique_ptr<QMimeData> data = createMimeDataFromSelection();
    if (!en.CutSelection())
        return; // refused: the clipboard keeps what it had
    QGuiApplication::clipboard()->setMimeData(data.release());
    en.EM_SCROLLCARET();
}

void RichEditView::WM_PASTE() {
    if (engine_->ReadOnly())
        return;
    if (insertFromMimeData(QGuiApplication::clipboard()->mimeData(), UID_PASTE))
        engine_->EM_SCROLLCARET();
}

bool RichEditView::canPasteMime(const QString& mimeType) const {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data)
        return false;
    if (mimeType == u"text/plain")
        return data->hasText();
    if (mimeType.startsWith(u"image/"))
        return data->hasImage();
    return data->hasFormat(mimeType);
}

bool RichEditView::EM_CANPASTE(uint32_t format) const {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data)
        return false;
    switch (format) {
    case 0: {
        for (const QString& type : rtfMimeTypes())
            if (data->hasFormat(type))
                return true;
        return data->hasText() || data->hasImage();
    }
    case kCfText:
    case kCfUnicodeText:
        return data->hasText();
    case kCfBitmap:
    case kCfDib:
        return data->hasImage();
    default:
        return false;
    }
}

bool RichEditView::insertFromMimeData(const QMimeData* data, UNDONAMEID kind) {
    if (!data || engine_->ReadOnly())
        return false;
    for (const QString& type : rtfMimeTypes()) {
        if (!data->hasFormat(type))
            continue;
        if (engine_->PasteRtf(data->data(type), kind))
            return true;
        break; // unreadable rich text: the plain text beside it still serves
    }
    if (data->hasImage()) {
        const QImage image = qvariant_cast<QImage>(data->imageData());
        if (!image.isNull() && engine_->PasteImage(image, kind))
            return true;
    }
    if (data->hasText())
        return engine_->PasteText(data->text(), kind);
    return false;
}

// ---- Dragging the selection ----

void RichEditView::startDrag() {
    if (engine_->selection().empty())
        return;
    auto drag = new QDrag(this); // owned by this window (its QObject parent), deleted by Qt
    drag->setMimeData(createMimeDataFromSelection().release());
    const model::Selection before = engine_->selection();
    dragging_ = true;
    const Qt::DropAction action = drag->exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction);
    dragging_ = false;
    dropCaret_ = -1;
    viewport()->update();
    // Moved into another window: the text leaves this one.
    if (action == Qt::MoveAction && drag->target() && drag->target() != viewport() &&
        engine_->selection() == before)
        engine_->CutSelection(UID_DRAGDROP);
}

int32_t RichEditView::dropPosition(const QPoint& pos) const {
    return engine_->EM_CHARFROMPOS(toPoint(pos));
}

void RichEditView::dragEnterEvent(QDragEnterEvent* e) {
    const QMimeData* data = e->mimeData();
    if (!localFiles(data).isEmpty()) {
        e->acceptProposedAction(); // reported to the host on the drop
        return;
    }
    if (engine_->ReadOnly() ||
        !(data->hasText() || data->hasImage() || data->hasFormat(rtfMimeTypes().first()) ||
          data->hasFormat(QStringLiteral("text/richtext")))) {
        e->ignore();
        return;
    }
    e->acceptProposedAction();
}

void RichEditView::dragMoveEvent(QDragMoveEvent* e) {
    const QPoint pos = e->position().toPoint();
    if (!localFiles(e->mimeData()).isEmpty()) {
        e->acceptProposedAction();
        return;
    }
    const int32_t at = dropPosition(pos);
    const model::Selection sel = engine_->selection();
    const bool own = dragging_ && e->source() == this;
    if (own && at > sel.min().v && at < sel.max().v) {
        e->ignore(); // not into the text being dragged
        dropCaret_ = -1;
    } else {
        const bool copy = e->modifiers() & Qt::ControlModifier;
        e->setDropAction(own ? (copy ? Qt::CopyAction : Qt::MoveAction) : e->proposedAction());
        e->accept();
        dropCaret_ = at;
    }
    // Near the edges the text scrolls so that a drop can reach any place.
    const QRect r = viewport()->rect();
    const int edge = 16;
    const POINT scroll = engine_->EM_GETSCROLLPOS();
    if (pos.y() < r.top() + edge)
        engine_->EM_SETSCROLLPOS({scroll.x, scroll.y - 16});
    else if (pos.y() > r.bottom() - edge)
        engine_->EM_SETSCROLLPOS({scroll.x, scroll.y + 16});
    viewport()->update();
}

void RichEditView::dragLeaveEvent(QDragLeaveEvent* e) {
    dropCaret_ = -1;
    viewport()->update();
    e->accept();
}

bool RichEditView::filesDropped(const QStringList& paths, const QPoint& pos) {
    if (!(engine_->EM_GETEVENTMASK() & ENM_DROPFILES))
        return false;
    ENDROPFILES drop;
    drop.nmhdr.code = EN_DROPFILES;
    drop.hDrop = &paths;
    drop.cp = dropPosition(pos);
    const model::CharPos at = std::min(model::CharPos(drop.cp), engine_->document().end());
    const model::CharFormat& f =
        engine_->document().charFormats()[engine_->document().charFormatIdAt(at)];
    drop.fProtected = f.effects & CFE_PROTECTED;
    return engine_->SendNotification(drop.nmhdr) != 0;
}

void RichEditView::dropEvent(QDropEvent* e) {
    const QPoint pos = e->position().toPoint();
    dropCaret_ = -1;
    viewport()->update();
    const QMimeData* data = e->mimeData();
    const QStringList files = localFiles(data);
    if (!files.isEmpty()) {
        if (filesDropped(files, pos))
            e->acceptProposedAction();
        else
            e->ignore();
        return;
    }
    if (engine_->ReadOnly()) {
        e->ignore();
        return;
    }
    const int32_t at = dropPosition(pos);
    if (dragging_ && e->source() == this) {
        const bool copy = e->modifiers() & Qt::ControlModifier;
        if (engine_->DropSelectionAt(at, copy)) {
            e->setDropAction(copy ? Qt::CopyAction : Qt::MoveAction);
            e->accept();
        } else {
            e->ignore();
        }
        emit inputHandled();
        return;
    }
    // From another window: inserted at the drop point and left selected.
    engine_->EM_EXSETSEL({at, at});
    const int32_t before = engine_->WM_GETTEXTLENGTH();
    if (insertFromMimeData(data, UID_DRAGDROP)) {
        const int32_t added = engine_->WM_GETTEXTLENGTH() - before;
        engine_->EM_EXSETSEL({at, at + added});
        e->acceptProposedAction();
    } else {
        e->ignore();
    }
    emit inputHandled();
}

} // namespace richedit::view
