#include "engine/model/WordBreak.h"

namespace richedit::model {

bool isWordChar(QChar c) {
    if (c.isLetterOrNumber() || c.isMark() || c == u'_')
        return true;
    return c.category() == QChar::Punctuation_Connector;
}

namespace {
// Neither the paragraph mark nor an object belong to a word.
bool wordAt(const Document& doc, CharPos pos) {
    return pos >= CharPos(0) && pos < doc.end() && isWordChar(doc.charAt(pos));
}
bool spaceAt(const Document& doc, CharPos pos) {
    if (pos < CharPos(0) || pos >= doc.end())
        return false;
    const QChar c = doc.charAt(pos);
    return c == u' ' || c == u'\t' || c == QChar(0xA0);
}
} // namespace

CharPos wordStart(const Document& doc, CharPos pos) {
    CharPos p = pos;
    while (p > CharPos(0) && wordAt(doc, p - 1))
        --p;
    return p;
}

CharPos wordEnd(const Document& doc, CharPos pos) {
    CharPos p = pos;
    while (wordAt(doc, p))
        ++p;
    return p;
}

CharPos previousWordStart(const Document& doc, CharPos pos) {
    CharPos p = pos;
    while (p > CharPos(0) && spaceAt(doc, p - 1))
        --p;
    if (p > CharPos(0) && wordAt(doc, p - 1))
        return wordStart(doc, p);
    return p > CharPos(0) ? p - 1 : p;
}

CharPos nextWordStart(const Document& doc, CharPos pos) {
    CharPos p = pos;
    if (wordAt(doc, p))
        p = wordEnd(doc, p);
    else if (p < doc.end())
        ++p;
    while (spaceAt(doc, p))
        ++p;
    return p;
}

} // namespace richedit::model
