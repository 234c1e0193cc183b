#include "engine/model/LineIndex.h"

namespace richedit::model {

CharPos ParagraphLines::lineStart(LineNumber line) const {
    if (line.v < 0 || line.v >= lineCount())
        return CharPos(-1);
    return doc_.paragraphStart(ParaIndex(line.v));
}

int32_t ParagraphLines::lineLength(LineNumber line) const {
    if (line.v < 0 || line.v >= lineCount())
        return 0;
    return doc_.paragraph(ParaIndex(line.v)).length() - 1;
}

int32_t ParagraphLines::lineSpan(LineNumber line) const {
    if (line.v < 0 || line.v >= lineCount())
        return 0;
    const int32_t n = doc_.paragraph(ParaIndex(line.v)).length();
    // The final paragraph's mark is not part of the reported text.
    return line.v == lineCount() - 1 ? n - 1 : n;
}

LineNumber ParagraphLines::lineFromChar(CharPos pos) const {
    return LineNumber(doc_.paragraphAt(std::clamp(pos, CharPos(0), doc_.end())).v);
}

} // namespace richedit::model
