#include "engine/model/Document.h"

#include <cassert>
#include <unordered_map>

namespace richedit::model {

namespace {

// Hands out consecutive pieces of a run list without rescanning it.
class RunCursor {
public:
    explicit RunCursor(const RunList& list) : list_(list) {}
    RunList take(int32_t length) {
        RunList out;
        while (length > 0 && i_ < list_.size()) {
            const int32_t avail = list_[i_].length - used_;
            const int32_t n = std::min(avail, length);
            out.push_back({n, list_[i_].format});
            used_ += n;
            length -= n;
            if (used_ == list_[i_].length) {
                ++i_;
                used_ = 0;
            }
        }
        return out;
    }

private:
    const RunList& list_;
    size_t i_ = 0;
    int32_t used_ = 0;
};

void appendRuns(RunList& to, const RunList& from) {
    to.insert(to.end(), from.begin(), from.end());
}

std::vector<ObjectAt> objectsIn(const std::vector<ObjectAt>& objs, int32_t from, int32_t to,
                                int32_t shift) {
    std::vector<ObjectAt> out;
    for (const ObjectAt& o : objs)
        if (o.offset >= from && o.offset < to)
            out.push_back({o.offset - from + shift, o.object});
    return out;
}

} // namespace

Document::Document() {
    const CharFormatId cf = charFormats_.intern(CharFormat{});
    const ParaFormatId pf = paraFormats_.intern(ParaFormat{});
    clear(cf, pf);
}

void Document::clear(CharFormatId format, ParaFormatId paraFormat) {
    const int32_t removed = paras_.empty() ? 0 : end().v;
    paras_.clear();
    auto p = std::make_unique<Paragraph>();
    p->text = QString(QChar(kParagraphMark));
    p->runs = {{1, format}};
    p->format = paraFormat;
    paras_.push_back(std::move(p));
    rebuildIndex();
    if (observer_)
        observer_->textChanged(CharPos(0), removed, 0);
}

void Document::rebuildIndex() {
    std::vector<int32_t> lengths;
    lengths.reserve(paras_.size());
    for (const auto& p : paras_)
        lengths.push_back(p->length());
    index_.rebuild(lengths);
}

ParaIndex Document::paragraphAt(CharPos pos) const {
    return ParaIndex(index_.find(std::max<int64_t>(0, pos.v)));
}

QChar Document::charAt(CharPos pos) const {
    const ParaIndex p = paragraphAt(pos);
    const int32_t off = pos - paragraphStart(p);
    const Paragraph& para = paragraph(p);
    return off >= 0 && off < para.length() ? para.text[off] : QChar();
}

QString Document::text(CharPos from, CharPos to) const {
    QString out;
    if (to <= from)
        return out;
    out.reserve(to - from);
    forEachSegment(from, to, [&](const QChar* s, int32_t n, CharPos) { out.append(s, n); });
    return out;
}

Fragment Document::extract(CharPos from, CharPos to) const {
    Fragment f;
    if (to <= from)
        return f;
    f.text.reserve(to - from);
    ParaIndex p = paragraphAt(from);
    CharPos start = paragraphStart(p);
    while (start < to && p.v < paragraphCount()) {
        const Paragraph& para = paragraph(p);
        const int32_t a = std::max(0, from - start);
        const int32_t b = std::min(para.length(), to - start);
        const int32_t shift = f.length();
        f.text.append(para.text.constData() + a, b - a);
        appendRuns(f.runs, runs::slice(para.runs, a, b - a));
        for (ObjectAt& o : objectsIn(para.objects, a, b, shift))
            f.objects.push_back(std::move(o));
        if (b == para.length())
            f.marks.push_back(para.format);
        start += para.length();
        ++p;
    }
    runs::normalize(f.runs);
    return f;
}

void Document::remove(CharPos from, CharPos to) {
    from = std::max(from, CharPos(0));
    to = std::min(to, end());
    if (to <= from)
        return;
    const ParaIndex pa = paragraphAt(from);
    const ParaIndex pb = paragraphAt(to);
    const int32_t oa = from - paragraphStart(pa);
    const int32_t ob = to - paragraphStart(pb);
    Paragraph& first = *paras_[size_t(pa.v)];
    if (pa == pb) {
        const int32_t n = ob - oa;
        first.text.remove(oa, n);
        runs::erase(first.runs, oa, n);
        auto& objs = first.objects;
        objs.erase(
            std::remove_if(objs.begin(), objs.end(),
                           [&](const ObjectAt& o) { return o.offset >= oa && o.offset < ob; }),
            objs.end());
        for (ObjectAt& o : objs)
            if (o.offset >= ob)
                o.offset -= n;
        index_.add(pa.v, -n);
        if (observer_)
            observer_->textChanged(from, n, 0);
        return;
    }
    const Paragraph& last = *paras_[size_t(pb.v)];
    std::vector<ObjectAt> objs = objectsIn(first.objects, 0, oa, 0);
    for (ObjectAt& o : objectsIn(last.objects, ob, last.length(), oa))
        objs.push_back(std::move(o));
    first.text.truncate(oa);
    first.text.append(QStringView(last.text).mid(ob));
    RunList r = runs::slice(first.runs, 0, oa);
    appendRuns(r, runs::slice(last.runs, ob, last.length() - ob));
    runs::normalize(r);
    first.runs = std::move(r);
    first.format = last.format;
    first.objects = std::move(objs);
    paras_.erase(paras_.begin() + pa.v + 1, paras_.begin() + pb.v + 1);
    rebuildIndex();
    if (observer_)
        observer_->textChanged(from, to - from, 0);
}

void Document::insert(CharPos at, const Fragment& frag) {
    if (frag.empty())
        return;
    assert(runs::totalLength(frag.runs) == frag.length());
    at = std::clamp(at, CharPos(0), end());
    const ParaIndex p = paragraphAt(at);
    Paragraph& para = *paras_[size_t(p.v)];
    const int32_t off = at - paragraphStart(p);

    if (frag.marks.empty()) {
        const int32_t n = frag.length();
        para.text.insert(off, frag.text);
        runs::insert(para.runs, off, frag.runs);
        for (ObjectAt& o : para.objects)
            if (o.offset >= off)
                o.offset += n;
        for (const ObjectAt& o : frag.objects)
            para.objects.push_back({o.offset + off, o.object});
        std::sort(para.objects.begin(), para.objects.end(),
                  [](const ObjectAt& a, const ObjectAt& b) { return a.offset < b.offset; });
        index_.add(p.v, n);
        if (observer_)
            observer_->textChanged(at, 0, n);
        return;
    }

    // The fragment holds paragraph marks: the paragraph splits. Its head joins the fragment's
    // first paragraph, its tail (with the original mark and format) the fragment's last piece.
    const QString tailText = para.text.mid(off);
    const RunList tailRuns = runs::slice(para.runs, off, para.length() - off);
    const std::vector<ObjectAt> tailObjs = objectsIn(para.objects, off, para.length(), 0);
    const ParaFormatId tailFormat = para.format;

    std::vector<std::unique_ptr<Paragraph>> made;
    made.reserve(frag.marks.size());
    RunCursor cursor(frag.runs);
    size_t nextObj = 0;
    auto takeObjects = [&](Paragraph& into, int32_t segStart, int32_t segEnd, int32_t shift) {
        while (nextObj < frag.objects.size() && frag.objects[nextObj].offset < segEnd) {
            const ObjectAt& o = frag.objects[nextObj++];
            if (o.offset >= segStart)
                into.objects.push_back({o.offset - segStart + shift, o.object});
        }
    };

    int32_t segStart = 0;
    size_t markNo = 0;
    for (int32_t i = 0; i < frag.length(); ++i) {
        if (frag.text[i] != QChar(kParagraphMark))
            continue;
        const int32_t segEnd = i + 1;
        if (markNo == 0) {
            // The first piece completes the split paragraph's head.
            para.text.truncate(off);
            para.text.append(QStringView(frag.text).mid(segStart, segEnd - segStart));
            para.runs = runs::slice(para.runs, 0, off);
            appendRuns(para.runs, cursor.take(segEnd - segStart));
            runs::normalize(para.runs);
            para.objects = objectsIn(para.objects, 0, off, 0);
            takeObjects(para, segStart, segEnd, off);
            para.format = frag.marks[0];
        } else {
            auto np = std::make_unique<Paragraph>();
            np->text = frag.text.mid(segStart, segEnd - segStart);
            np->runs = cursor.take(segEnd - segStart);
            takeObjects(*np, segStart, segEnd, 0);
            np->format = markNo < frag.marks.size() ? frag.marks[markNo] : tailFormat;
            made.push_back(std::move(np));
        }
        ++markNo;
        segStart = segEnd;
    }
    auto lastPara = std::make_unique<Paragraph>();
    lastPara->text = frag.text.mid(segStart);
    lastPara->runs = cursor.take(frag.length() - segStart);
    takeObjects(*lastPara, segStart, frag.length(), 0);
    const int32_t headLen = lastPara->length();
    lastPara->text.append(tailText);
    appendRuns(lastPara->runs, tailRuns);
    runs::normalize(lastPara->runs);
    for (const ObjectAt& o : tailObjs)
        lastPara->objects.push_back({o.offset + headLen, o.object});
    lastPara->format = tailFormat;
    made.push_back(std::move(lastPara));

    paras_.insert(paras_.begin() + p.v + 1, std::make_move_iterator(made.begin()),
                  std::make_move_iterator(made.end()));
    rebuildIndex();
    if (observer_)
        observer_->textChanged(at, 0, frag.length());
}

CharFormatId Document::charFormatIdAt(CharPos pos) const {
    const ParaIndex p = paragraphAt(pos);
    const int32_t off = pos - paragraphStart(p);
    return runs::formatAt(paragraph(p).runs, off);
}

RunList Document::runs(CharPos from, CharPos to) const {
    RunList out;
    if (to <= from)
        return out;
    ParaIndex p = paragraphAt(from);
    CharPos start = paragraphStart(p);
    while (start < to && p.v < paragraphCount()) {
        const Paragraph& para = paragraph(p);
        const int32_t a = std::max(0, from - start);
        const int32_t b = std::min(para.length(), to - start);
        appendRuns(out, runs::slice(para.runs, a, b - a));
        start += para.length();
        ++p;
    }
    runs::normalize(out);
    return out;
}

void Document::overwriteRuns(CharPos from, const RunList& replacement) {
    const int32_t total = runs::totalLength(replacement);
    if (total <= 0)
        return;
    RunCursor cursor(replacement);
    const CharPos to = from + total;
    ParaIndex p = paragraphAt(from);
    CharPos start = paragraphStart(p);
    while (start < to && p.v < paragraphCount()) {
        Paragraph& para = *paras_[size_t(p.v)];
        const int32_t a = std::max(0, from - start);
        const int32_t b = std::min(para.length(), to - start);
        const RunList piece = cursor.take(b - a);
        if (a == 0 && b == para.length()) {
            para.runs = piece;
            runs::normalize(para.runs);
        } else {
            runs::overwrite(para.runs, a, piece);
        }
        start += para.length();
        ++p;
    }
    if (observer_)
        observer_->formatChanged(from, to);
}

void Document::setParaFormatId(ParaIndex p, ParaFormatId id) {
    Paragraph& para = *paras_[size_t(p.v)];
    if (para.format == id)
        return;
    para.format = id;
    if (observer_) {
        const CharPos start = paragraphStart(p);
        observer_->formatChanged(start, start + para.length());
    }
}

Fragment Document::plainFragment(const QString& text, CharFormatId format,
                                 ParaFormatId markFormat) {
    Fragment f;
    f.text.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == u'\r') {
            f.text.append(QChar(kParagraphMark));
            f.marks.push_back(markFormat);
            if (i + 1 < n && text[i + 1] == u'\n')
                ++i;
        } else if (c == u'\n') {
            f.text.append(QChar(kParagraphMark));
            f.marks.push_back(markFormat);
        } else if (c == QChar(kObjectChar)) {
            // Plain text brings no objects: an object character stands for a missing one.
            f.text.append(QChar(0xFFFD));
        } else {
            f.text.append(c);
        }
    }
    if (!f.text.isEmpty())
        f.runs = {{int32_t(f.text.size()), format}};
    return f;
}

Fragment leftOf(const Fragment& f, int32_t n) {
    if (n >= f.length())
        return f;
    Fragment out;
    if (n <= 0)
        return out;
    out.text = f.text.left(n);
    out.runs = runs::slice(f.runs, 0, n);
    const auto marks = size_t(out.text.count(QChar(kParagraphMark)));
    out.marks.assign(f.marks.begin(),
                     f.marks.begin() + std::ptrdiff_t(std::min(marks, f.marks.size())));
    for (const ObjectAt& o : f.objects)
        if (o.offset < n)
            out.objects.push_back(o);
    return out;
}

void Document::replaceWith(Document&& other) {
    const int32_t removed = end().v;
    paras_ = std::move(other.paras_);
    charFormats_ = std::move(other.charFormats_);
    paraFormats_ = std::move(other.paraFormats_);
    infoGroup_ = std::move(other.infoGroup_);
    rebuildIndex();
    other.clear(other.charFormats_.intern(CharFormat{}), other.paraFormats_.intern(ParaFormat{}));
    if (observer_)
        observer_->textChanged(CharPos(0), removed, end().v);
}

Fragment Document::importFragment(const Document& source, CharPos from, CharPos to) {
    Fragment f = source.extract(from, to);
    std::unordered_map<CharFormatId, CharFormatId> chars;
    for (Run& r : f.runs) {
        auto it = chars.find(r.format);
        if (it == chars.end())
            it = chars.emplace(r.format, charFormats_.intern(source.charFormats_[r.format])).first;
        r.format = it->second;
    }
    for (ParaFormatId& m : f.marks)
        m = paraFormats_.intern(source.paraFormats_[m]);
    runs::normalize(f.runs);
    return f;
}

DocumentBuilder::DocumentBuilder(Document& target)
    : doc_(target), open_(std::make_unique<Paragraph>()) {}

void DocumentBuilder::text(QStringView chars, CharFormatId format) {
    if (chars.isEmpty())
        return;
    open_->text.append(chars);
    if (!open_->runs.empty() && open_->runs.back().format == format)
        open_->runs.back().length += int32_t(chars.size());
    else
        open_->runs.push_back({int32_t(chars.size()), format});
    length_ += chars.size();
}

void DocumentBuilder::object(ObjectRef object, CharFormatId format) {
    open_->objects.push_back({open_->length(), std::move(object)});
    const QChar c(kObjectChar);
    text(QStringView(&c, 1), format);
}

void DocumentBuilder::endParagraph(ParaFormatId format, CharFormatId markFormat) {
    const QChar mark(kParagraphMark);
    text(QStringView(&mark, 1), markFormat);
    open_->format = format;
    paras_.push_back(std::move(open_));
    open_ = std::make_unique<Paragraph>();
}

void DocumentBuilder::finish(ParaFormatId format, CharFormatId markFormat) {
    endParagraph(format, markFormat);
    length_ -= 1; // the final mark is not part of the text
    doc_.paras_ = std::move(paras_);
    doc_.rebuildIndex();
    if (doc_.observer_)
        doc_.observer_->textChanged(CharPos(0), 0, doc_.end().v);
}

size_t Document::memoryBytes() const {
    size_t bytes = paras_.capacity() * sizeof(void*) + size_t(index_.count()) * sizeof(int64_t);
    for (const auto& p : paras_) {
        bytes += sizeof(Paragraph) + 16; // the record and its allocation header
        bytes += size_t(p->text.capacity()) * 2 + 16;
        bytes += p->runs.capacity() * sizeof(Run) + (p->runs.capacity() ? 16 : 0);
        bytes += p->objects.capacity() * sizeof(ObjectAt);
    }
    return bytes;
}

} // namespace richedit::model
