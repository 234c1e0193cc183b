#pragma once

#include "engine/model/CharFormat.h"
#include "engine/model/FormatTable.h"
#include "engine/model/ParaFormat.h"
#include "engine/model/Paragraph.h"
#include "engine/model/ParagraphIndex.h"
#include "engine/model/StrongTypes.h"

#include <QString>

#include <algorithm>
#include <memory>
#include <vector>

namespace richedit::model {

// Told of every change to the document, once the document is consistent again: the layout and
// the view keep their caches with it.
class DocumentObserver {
public:
    virtual ~DocumentObserver() = default;
    // Text [at, at + removed) was replaced by `added` characters.
    virtual void textChanged(CharPos at, int32_t removed, int32_t added) = 0;
    // Character or paragraph formats of [from, to) changed; the text did not.
    virtual void formatChanged(CharPos from, CharPos to) = 0;
};

// The document: a sequence of paragraphs, each ending with its paragraph mark. The mark of the
// last paragraph is the story's final mark: it always exists, carries the format of an empty
// document, and is not part of the text the document reports. Positions therefore run from 0 to
// end(), and end() is the length of the reported text.
//
// The document offers only primitives without undo (insert a fragment, remove a range,
// overwrite character formats, set a paragraph format); the edit bracket builds undoable edits
// from them.
class Document {
public:
    Document();

    CharPos end() const { return CharPos(int32_t(index_.total()) - 1); }
    int32_t paragraphCount() const { return int32_t(paras_.size()); }
    ParaIndex paragraphAt(CharPos pos) const;
    CharPos paragraphStart(ParaIndex p) const { return CharPos(int32_t(index_.prefix(p.v))); }
    const Paragraph& paragraph(ParaIndex p) const { return *paras_[size_t(p.v)]; }

    QChar charAt(CharPos pos) const;
    // The text of [from, to), paragraph marks as U+000D.
    QString text(CharPos from, CharPos to) const;

    // Calls f(const QChar* chars, int32_t count, CharPos start) for each paragraph's share of
    // [from, to), in order.
    template <class F> void forEachSegment(CharPos from, CharPos to, F&& f) const {
        if (from >= to)
            return;
        ParaIndex p = paragraphAt(from);
        CharPos start = paragraphStart(p);
        while (start < to && p.v < paragraphCount()) {
            const Paragraph& para = paragraph(p);
            const int32_t a = std::max(0, from - start);
            const int32_t b = std::min(para.length(), to - start);
            if (b > a)
                f(para.text.constData() + a, b - a, start + a);
            start += para.length();
            ++p;
        }
    }

    Fragment extract(CharPos from, CharPos to) const;
    void remove(CharPos from, CharPos to);
    void insert(CharPos at, const Fragment& fragment);

    // Character formats.
    CharFormatId charFormatIdAt(CharPos pos) const;
    RunList runs(CharPos from, CharPos to) const;
    void overwriteRuns(CharPos from, const RunList& replacement);

    // Paragraph formats.
    ParaFormatId paraFormatId(ParaIndex p) const { return paras_[size_t(p.v)]->format; }
    void setParaFormatId(ParaIndex p, ParaFormatId id);

    FormatTable<CharFormat>& charFormats() { return charFormats_; }
    const FormatTable<CharFormat>& charFormats() const { return charFormats_; }
    FormatTable<ParaFormat>& paraFormats() { return paraFormats_; }
    const FormatTable<ParaFormat>& paraFormats() const { return paraFormats_; }

    // A fragment of plain text in one character format; its paragraph marks take markFormat.
    // Line breaks CR LF and LF become paragraph marks.
    static Fragment plainFragment(const QString& text, CharFormatId format,
                                  ParaFormatId markFormat);

    void setObserver(DocumentObserver* observer) { observer_ = observer; }

    // Document information (title, author, dates ...) as the Rich Text Format group that held
    // it, kept so that a document writes back with it.
    const QByteArray& infoGroup() const { return infoGroup_; }
    void setInfoGroup(QByteArray group) { infoGroup_ = std::move(group); }

    // Empties the document; the final mark takes the given formats.
    void clear(CharFormatId format, ParaFormatId paraFormat);

    // Takes over another document's content (text, formats, information); observers of this
    // document hear of it as one change of the whole text.
    void replaceWith(Document&& other);
    // [from, to) of another document as a fragment of this one: its formats are interned here.
    Fragment importFragment(const Document& source, CharPos from, CharPos to);

    // Heap bytes held by the text, runs and paragraph records (an estimate for figures).
    size_t memoryBytes() const;

private:
    friend class DocumentBuilder;
    void rebuildIndex();

    std::vector<std::unique_ptr<Paragraph>> paras_;
    ParagraphIndex index_;
    FormatTable<CharFormat> charFormats_;
    FormatTable<ParaFormat> paraFormats_;
    DocumentObserver* observer_ = nullptr;
    QByteArray infoGroup_;
};

// Builds a document front to back, as a reader meets its text: much faster than inserting
// piece by piece. The target starts empty; finish() completes it.
class DocumentBuilder {
public:
    explicit DocumentBuilder(Document& target);
    void text(QStringView chars, CharFormatId format);
    void object(ObjectRef object, CharFormatId format);
    void endParagraph(ParaFormatId format, CharFormatId markFormat);
    // The final paragraph takes these formats; nothing may be appended afterwards.
    void finish(ParaFormatId format, CharFormatId markFormat);
    int64_t length() const { return length_; }

private:
    Document& doc_;
    std::vector<std::unique_ptr<Paragraph>> paras_;
    std::unique_ptr<Paragraph> open_;
    int64_t length_ = 0;
};

} // namespace richedit::model
