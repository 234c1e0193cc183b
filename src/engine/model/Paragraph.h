#pragma once

#include "engine/model/EmbeddedObject.h"
#include "engine/model/Run.h"

#include <QString>

#include <vector>

namespace richedit::model {

constexpr char16_t kParagraphMark = u'\r';
constexpr char16_t kLineBreak = u'\v';
constexpr char16_t kObjectChar = u'\uFFFC';

// One paragraph: its text always ends with the paragraph mark, which carries the paragraph's
// format. The runs cover the text exactly, mark included.
struct Paragraph {
    QString text;
    RunList runs;
    ParaFormatId format = 0;
    std::vector<ObjectAt> objects; // sorted by offset

    int32_t length() const { return int32_t(text.size()); }
};

// A piece of rich text moved in or out of the document: text with its runs, the paragraph format
// of every paragraph mark it holds (in order) and the objects at its object characters.
struct Fragment {
    QString text;
    RunList runs;
    std::vector<ParaFormatId> marks;
    std::vector<ObjectAt> objects;

    int32_t length() const { return int32_t(text.size()); }
    bool empty() const { return text.isEmpty(); }
};

// The first n characters of a fragment, with their runs, marks and objects.
Fragment leftOf(const Fragment& f, int32_t n);

} // namespace richedit::model
