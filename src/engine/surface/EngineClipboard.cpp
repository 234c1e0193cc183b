// What the clipboard and drag and drop move: the selection as rich and plain text, and rich text,
// plain text and pictures put in its place. The desktop side lives with the window.

#include "engine/model/EditTransaction.h"
#include "engine/model/PictureObject.h"
#include "engine/rtf/RtfReader.h"
#include "engine/rtf/RtfStreams.h"
#include "engine/rtf/RtfWriter.h"
#include "engine/surface/RichEditEngine.h"

#include <QBuffer>
#include <QImage>

#include <cmath>

namespace richedit {

using model::CharPos;

QByteArray RichEditEngine::SelectionAsRtf() const {
    rtf::BufferSink sink;
    if (!rtf::writeRtf(doc_, sel_.min(), sel_.max(), sink))
        return {};
    return sink.bytes;
}

QString RichEditEngine::SelectionAsText() const {
    QString text = doc_.text(sel_.min(), sel_.max());
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == QChar(model::kParagraphMark) || c == QChar(model::kLineBreak))
            out.append(u'\n');
        else if (c != QChar(model::kObjectChar)) // an object has no text to give
            out.append(c);
    }
    return out;
}

int32_t RichEditEngine::SelectionObjectCount() const {
    int32_t n = 0;
    doc_.forEachSegment(sel_.min(), sel_.max(), [&](const QChar* s, int32_t len, CharPos) {
        for (int32_t i = 0; i < len; ++i)
            n += s[i] == QChar(model::kObjectChar);
    });
    return n;
}

bool RichEditEngine::AllowCopy() {
    if (sel_.empty())
        return false;
    return allowChange(msg::WM_COPY, sel_.min(), sel_.max());
}

bool RichEditEngine::CutSelection(UNDONAMEID kind) {
    if (readOnly_ || sel_.empty())
        return false;
    return replaceSelectionFragment({}, kind, true, msg::WM_CUT, false);
}

bool RichEditEngine::PasteRtf(const QByteArray& bytes, UNDONAMEID kind) {
    if (readOnly_)
        return false;
    model::Document loaded;
    rtf::BufferSource source(bytes);
    const rtf::ReadResult result = rtf::readRtf(source, loaded);
    if (result.status != rtf::ReadResult::Ok)
        return false;
    if (textMode_ & TM_PLAINTEXT) {
        // A plain-text document takes the text alone, in its own format.
        QString text = loaded.text(CharPos(0), loaded.end());
        text.replace(QChar(model::kObjectChar), QString());
        return PasteText(text, kind);
    }
    model::Fragment fragment = doc_.importFragment(loaded, CharPos(0), loaded.end());
    if (fragment.empty())
        return false;
    return replaceSelectionFragment(std::move(fragment), kind, true, msg::WM_PASTE, false);
}

bool RichEditEngine::PasteText(const QString& text, UNDONAMEID kind) {
    if (readOnly_ || text.isEmpty())
        return false;
    return replaceSelection(text, kind, true, msg::WM_PASTE, false);
}

bool RichEditEngine::PasteImage(const QImage& image, UNDONAMEID kind) {
    if (readOnly_ || image.isNull() || (textMode_ & TM_PLAINTEXT))
        return false;
    auto picture = std::make_shared<model::PictureObject>();
    QBuffer buffer(&picture->data);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return false;
    picture->format = model::PictureFormat::Png;
    picture->width = image.width();
    picture->height = image.height();
    // Shown at the size its resolution gives it, 96 dots per inch when it names none.
    const qreal dpiX = image.dotsPerMeterX() > 0 ? image.dotsPerMeterX() * 0.0254 : 96.0;
    const qreal dpiY = image.dotsPerMeterY() > 0 ? image.dotsPerMeterY() * 0.0254 : 96.0;
    picture->goalWidth = int32_t(std::lround(image.width() * 1440.0 / dpiX));
    picture->goalHeight = int32_t(std::lround(image.height() * 1440.0 / dpiY));
    model::Fragment fragment;
    fragment.text = QString(QChar(model::kObjectChar));
    fragment.runs = {{1, insertionFormat()}};
    fragment.objects.push_back({0, std::move(picture)});
    return replaceSelectionFragment(std::move(fragment), kind, true, msg::WM_PASTE, false);
}

bool RichEditEngine::DropSelectionAt(int32_t charIndex, bool copy) {
    if (readOnly_ || sel_.empty())
        return false;
    const CharPos target = clampPos(charIndex);
    const CharPos from = sel_.min();
    const CharPos to = sel_.max();
    if (!copy && target >= from && target <= to)
        return false; // dropped onto itself
    if (copy && target > from && target < to)
        return false;
    if (!allowChange(msg::WM_PASTE, target, target) ||
        (!copy && !allowChange(msg::WM_CUT, from, to)))
        return false;
    const model::Fragment moved = doc_.extract(from, to);
    const int32_t n = moved.length();
    model::EditTransaction edit(doc_, UID_DRAGDROP, sel_);
    CharPos insertedAt = target;
    if (copy) {
        edit.replace(target, target, moved);
    } else if (target > to) {
        edit.replace(from, to, {});
        insertedAt = target - n;
        edit.replace(insertedAt, insertedAt, moved);
    } else {
        edit.replace(target, target, moved);
        edit.replace(from + n, to + n, {});
    }
    sel_ = {insertedAt, insertedAt + n};
    pendingFormat_.reset();
    commit(edit, true);
    return true;
}

} // namespace richedit
