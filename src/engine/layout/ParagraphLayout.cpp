#include "engine/layout/ParagraphLayout.h"

#include <QTextBoundaryFinder>

#include <algorithm>
#include <cmath>

namespace richedit::layout {

namespace {

// Default tab stops repeat at half an inch from the left margin.
constexpr qreal kDefaultTabWidth = 720;

enum TabAlign { TabLeft = 0, TabCentre = 1, TabRight = 2, TabDecimal = 3, TabBar = 4 };

struct TabStop {
    qreal position;
    int align;
    int leader;
};

struct TabLanding {
    qreal advance;
    TabLeader leader;
};

// A stretch of the paragraph in one character format, with its font's extents.
struct RunSpan {
    int32_t start;
    int32_t end;
    const model::CharFormat* format;
    FontExtents extents;
    qreal raise;
};

struct ObjectBox {
    int32_t offset;
    qreal height;
};

bool hangs(QChar c) {
    // White space at the end of a line may run past the right edge.
    return c == u' ' || c == QChar(0x3000) ||
           (c.category() == QChar::Separator_Space && c != QChar(0xA0) && c != QChar(0x202F));
}

bool endsSegment(QChar c) {
    return c == u'\t' || c == QChar(model::kLineBreak) || c == QChar(model::kParagraphMark);
}

int32_t roundTw(qreal v) {
    return int32_t(std::lround(v));
}

std::vector<uint8_t> boundaries(QTextBoundaryFinder::BoundaryType type, const QString& text) {
    std::vector<uint8_t> at(size_t(text.size()) + 1, 0);
    QTextBoundaryFinder finder(type, text);
    for (qsizetype p = finder.toNextBoundary(); p >= 0; p = finder.toNextBoundary())
        if (p <= text.size())
            at[size_t(p)] = 1;
    return at;
}

class Breaker {
public:
    Breaker(const ParagraphSource& source, Twips width, TextMeasurer& measurer)
        : text_(source.paragraph->text), format_(*source.format), width_(width.v),
          measurer_(measurer) {
        measure(source);
    }

    void measure(const ParagraphSource& source) {
        const model::Paragraph& para = *source.paragraph;
        const int32_t n = para.length();
        adv_.reserve(size_t(n));
        int32_t at = 0;
        for (const model::Run& r : para.runs) {
            const model::CharFormat& cf = (*source.charFormats)[r.format];
            const int32_t len = std::min(r.length, n - at);
            if (len <= 0)
                break;
            measurer_.advances(cf, QStringView(para.text).mid(at, len), adv_);
            runs_.push_back({at, at + len, &cf, measurer_.extents(cf), baselineRaise(cf)});
            at += len;
        }
        adv_.resize(size_t(n), 0.0);
        for (const model::ObjectAt& o : para.objects) {
            if (o.offset < 0 || o.offset >= n || text_[o.offset] != QChar(model::kObjectChar))
                continue;
            const RunSpan* run = runAt(o.offset);
            if (run && (run->format->effects & CFE_HIDDEN))
                continue;
            const ObjectExtent e = measurer_.objectExtent(o.object.get());
            adv_[size_t(o.offset)] = e.width + (run ? run->format->spacing : 0);
            objects_.push_back({o.offset, e.height});
        }
        for (int32_t i = 0; i < n; ++i)
            if (endsSegment(text_[i]))
                adv_[size_t(i)] = 0;
        for (int i = 0; i < format_.tabCount && i < MAX_TAB_STOPS; ++i) {
            const int32_t t = format_.tabs[size_t(i)];
            stops_.push_back({qreal(t & 0x00FFFFFF), (t >> 24) & 0x0F, (t >> 28) & 0x0F});
        }
        std::sort(stops_.begin(), stops_.end(),
                  [](const TabStop& a, const TabStop& b) { return a.position < b.position; });
    }

    const RunSpan* runAt(int32_t offset) const {
        auto it = std::upper_bound(runs_.begin(), runs_.end(), offset,
                                   [](int32_t o, const RunSpan& r) { return o < r.end; });
        return it == runs_.end() ? nullptr : &*it;
    }

    // Where the tab at i takes the pen standing at x, and the leader that fills it. A stop
    // behind the pen does not count; past the last stop, default stops follow every half inch.
    // The first line's hanging indent (0: none) is a left stop of its own, taken before default
    // stops and before explicit stops beyond it, so that a term and its explanation line up.
    TabLanding tab(int32_t i, qreal x, qreal hanging) const {
        TabStop stop{(std::floor(x / kDefaultTabWidth) + 1) * kDefaultTabWidth, TabLeft,
                     LeaderNone};
        bool explicitStop = false;
        for (const TabStop& s : stops_)
            if (s.align != TabBar && s.position > x + 0.5) {
                stop = s;
                explicitStop = true;
                break;
            }
        if (hanging > x + 0.5 && (!explicitStop || hanging < stop.position))
            stop = {hanging, TabLeft, LeaderNone};
        const TabLeader leader = stop.leader <= LeaderEquals ? TabLeader(stop.leader) : LeaderNone;
        if (stop.align == TabLeft)
            return {stop.position - x, leader};
        // The text up to the next tab, soft break or paragraph mark is placed against the stop.
        const int32_t from = i + 1;
        const int32_t end = segmentEnd(from);
        const qreal w = width(from, end);
        qreal target = stop.position;
        if (stop.align == TabCentre)
            target -= w / 2;
        else if (stop.align == TabRight)
            target -= w;
        else if (stop.align == TabDecimal)
            target -= width(from, decimalPoint(from, end));
        return {std::max<qreal>(0, target - x), leader};
    }

    int32_t segmentEnd(int32_t from) const {
        const int32_t n = int32_t(text_.size());
        while (from < n && !endsSegment(text_[from]))
            ++from;
        return from;
    }

    qreal width(int32_t from, int32_t to) const {
        qreal w = 0;
        for (int32_t j = from; j < to; ++j)
            w += adv_[size_t(j)];
        return w;
    }

    // Where text after a decimal tab lines up: at the decimal separator of its first number,
    // which is the number's last '.' or ',' with a digit after it ("1,234.50" lines up at its
    // point, "1.234,50" at its comma); a number without one lines up at its end, and text
    // without a number at its end.
    int32_t decimalPoint(int32_t from, int32_t end) const {
        auto digit = [&](int32_t j) { return j < end && text_[j].isDigit(); };
        auto separator = [&](int32_t j) {
            return (text_[j] == u'.' || text_[j] == u',') && digit(j + 1);
        };
        int32_t j = from;
        while (j < end && !digit(j) && !separator(j))
            ++j;
        if (j == end)
            return end;
        int32_t point = -1;
        for (; digit(j) || (j < end && separator(j)); ++j)
            if (!digit(j))
                point = j;
        return point >= 0 ? point : j;
    }

    void verticalExtents(int32_t from, int32_t to, qreal& ascent, qreal& descent,
                         qreal& gap) const {
        bool any = false;
        for (const RunSpan& r : runs_) {
            if (r.end <= from || r.start >= to || (r.format->effects & CFE_HIDDEN))
                continue;
            bool onlyObjects = true;
            for (int32_t i = std::max(from, r.start); i < std::min(to, r.end); ++i)
                if (text_[i] != QChar(model::kObjectChar))
                    onlyObjects = false;
            if (!onlyObjects) {
                ascent = std::max(ascent, r.extents.ascent + r.raise);
                descent = std::max(descent, r.extents.descent - r.raise);
                gap = std::max(gap, r.extents.lineGap);
                any = true;
            }
        }
        for (const ObjectBox& o : objects_) {
            if (o.offset < from || o.offset >= to)
                continue;
            const RunSpan* r = runAt(o.offset);
            const qreal raise = r ? r->raise : 0;
            ascent = std::max(ascent, o.height + raise);
            descent = std::max(descent, -raise);
            any = true;
        }
        if (!any && !runs_.empty()) {
            // A line of nothing visible is as tall as its paragraph mark's text.
            const RunSpan& r = runs_.back();
            ascent = std::max(ascent, r.extents.ascent);
            descent = std::max(descent, r.extents.descent);
            gap = std::max(gap, r.extents.lineGap);
        }
    }

    qreal lineHeight(qreal natural) const {
        const qreal rule = format_.lineSpacing;
        switch (format_.lineSpacingRule) {
        case 1:
            return natural * 1.5;
        case 2:
            return natural * 2;
        case 3:
            return std::max(natural, rule);
        case 4:
            return std::abs(rule);
        case 5:
            return rule > 0 ? natural * rule / 20.0 : natural;
        default:
            return natural;
        }
    }

    const QString& text_;
    const model::ParaFormat& format_;
    int32_t width_;
    TextMeasurer& measurer_;
    std::vector<qreal> adv_;
    std::vector<RunSpan> runs_;
    std::vector<ObjectBox> objects_;
    std::vector<TabStop> stops_;
};

} // namespace

ParagraphLayout ParagraphLayout::build(const ParagraphSource& source, Twips width,
                                       TextMeasurer& measurer) {
    ParagraphLayout out;
    out.width_ = width;
    Breaker b(source, width, measurer);
    const QString& t = source.paragraph->text;
    const model::ParaFormat& pf = *source.format;
    const int32_t n = int32_t(t.size());
    const std::vector<uint8_t> canBreak = boundaries(QTextBoundaryFinder::Line, t);
    const std::vector<uint8_t> grapheme = boundaries(QTextBoundaryFinder::Grapheme, t);

    qreal firstIndent = pf.startIndent;
    const qreal restIndent = qreal(pf.startIndent) + pf.offset;
    qreal numberAscent = 0, numberDescent = 0, numberGap = 0;
    if (!source.numberText.isEmpty() && !b.runs_.empty()) {
        model::CharFormat nf = *b.runs_.front().format;
        nf.effects &= ~uint32_t(CFE_HIDDEN | CFE_SUBSCRIPT | CFE_SUPERSCRIPT);
        nf.offset = 0;
        std::vector<qreal> na;
        measurer.advances(nf, source.numberText, na);
        qreal numberWidth = 0;
        for (qreal a : na)
            numberWidth += a;
        const FontExtents e = measurer.extents(nf);
        numberAscent = e.ascent;
        numberDescent = e.descent;
        numberGap = e.lineGap;
        out.numberText_ = source.numberText;
        out.numberX_ = Twips(pf.startIndent);
        firstIndent =
            pf.startIndent + std::max({qreal(pf.offset), qreal(pf.numberingTab), numberWidth});
    } else if (pf.numbering != 0 && (pf.numberingStyle & 0x0F00) == PFNS_NONUMBER) {
        // A list paragraph without a number of its own starts where an item's text would.
        firstIndent = pf.startIndent + std::max(pf.offset, int32_t(pf.numberingTab));
    }

    const qreal rightEdge = qreal(width.v) - pf.rightIndent;
    // When the lines after the first start further in, the first line has a stop where they do.
    const qreal hangingStop = restIndent > firstIndent ? restIndent : 0;
    std::vector<LeaderAt> lineLeaders;
    std::vector<qreal> xs(size_t(n) + 1, 0.0);
    out.x_.resize(size_t(n), 0);
    qreal top = pf.spaceBefore;
    int32_t s = 0;
    while (s < n) {
        const bool first = s == 0;
        const qreal indent = first ? firstIndent : restIndent;
        qreal x = indent;
        int32_t lastBreak = -1;
        int32_t end = n;
        qreal endX = x;
        bool forced = false;
        lineLeaders.clear();
        for (int32_t i = s; i < n; ++i) {
            const QChar c = t[i];
            if (i > s && canBreak[size_t(i)])
                lastBreak = i;
            xs[size_t(i)] = x;
            if (c == QChar(model::kParagraphMark)) {
                end = n;
                endX = x;
                break;
            }
            if (c == QChar(model::kLineBreak)) {
                end = i + 1;
                endX = x;
                forced = true;
                break;
            }
            qreal a = b.adv_[size_t(i)];
            if (c == u'\t') {
                const TabLanding landing = b.tab(i, x, first ? hangingStop : 0);
                a = landing.advance;
                if (landing.leader != LeaderNone)
                    lineLeaders.push_back({i, landing.leader});
            }
            if (i > s && !hangs(c) && c != u'\t' && x + a > rightEdge + 0.01) {
                int32_t g = lastBreak;
                if (g <= s) {
                    // Nothing to break at: the word breaks between graphemes.
                    g = i;
                    while (g > s && !grapheme[size_t(g)])
                        --g;
                }
                if (g > s) {
                    end = g;
                    endX = xs[size_t(end)];
                    break;
                }
                // The character belongs to the line's first grapheme, which stays whole.
            }
            x += a;
            endX = x;
        }

        // The content's right end, without trailing white space and the closing mark.
        int32_t last = end - 1;
        while (last >= s && (hangs(t[last]) || t[last] == QChar(model::kLineBreak) ||
                             t[last] == QChar(model::kParagraphMark)))
            --last;
        const qreal contentRight =
            last >= s ? (last + 1 < end ? xs[size_t(last) + 1] : endX) : indent;
        const bool lastLine = end == n;
        qreal shift = 0;
        qreal perSpace = 0;
        int32_t stretchFrom = end;
        const qreal room = rightEdge - contentRight;
        // Tabs were placed from the line's start, so a line moves whole: its tabs keep their
        // widths and the stops' leaders move with them. A line too full to move starts at its
        // indent.
        switch (pf.alignment) {
        case PFA_RIGHT:
            shift = std::max<qreal>(0, room);
            break;
        case PFA_CENTER:
            shift = std::max<qreal>(0, room / 2);
            break;
        case PFA_JUSTIFY:
            if (!lastLine && !forced && room > 0) {
                // Stretch the spaces after the line's last tab.
                stretchFrom = s;
                for (int32_t i = s; i <= last; ++i)
                    if (t[i] == u'\t')
                        stretchFrom = i + 1;
                int32_t spaces = 0;
                for (int32_t i = stretchFrom; i < last; ++i)
                    if (t[i] == u' ')
                        ++spaces;
                if (spaces > 0)
                    perSpace = room / spaces;
            }
            break;
        default:
            break;
        }
        qreal stretch = 0;
        for (int32_t i = s; i < end; ++i) {
            out.x_[size_t(i)] = roundTw(xs[size_t(i)] + shift + stretch);
            if (perSpace > 0 && i >= stretchFrom && i < last && t[i] == u' ')
                stretch += perSpace;
        }

        qreal ascent = 0, descent = 0, gap = 0;
        b.verticalExtents(s, end, ascent, descent, gap);
        if (first && !out.numberText_.isEmpty()) {
            ascent = std::max(ascent, numberAscent);
            descent = std::max(descent, numberDescent);
            gap = std::max(gap, numberGap);
        }
        const qreal natural = ascent + descent + gap;
        const qreal height = b.lineHeight(natural);
        // Extra room of a fixed or minimum spacing goes above the text; a multiple below.
        qreal baseline = ascent;
        if (pf.lineSpacingRule == 3 || pf.lineSpacingRule == 4)
            baseline = height - descent - gap;

        LineBox line;
        line.start = s;
        line.length = end - s;
        line.top = Twips(roundTw(top));
        line.height = Twips(roundTw(height));
        line.baseline = Twips(roundTw(baseline));
        line.left = Twips(roundTw(indent + shift));
        line.right = Twips(roundTw(contentRight + shift + stretch));
        line.penEnd = Twips(roundTw(endX + shift + stretch));
        line.forcedBreak = forced;
        line.lastLine = lastLine;
        out.lines_.push_back(line);
        for (const LeaderAt& l : lineLeaders)
            if (l.offset < end) // a tab past the break is placed again on the next line
                out.leaders_.push_back(l);
        top += height;
        s = end;
    }
    out.height_ = Twips(roundTw(top + pf.spaceAfter));
    return out;
}

TabLeader ParagraphLayout::tabLeader(int32_t offset) const {
    auto it = std::lower_bound(leaders_.begin(), leaders_.end(), offset,
                               [](const LeaderAt& l, int32_t o) { return l.offset < o; });
    return it != leaders_.end() && it->offset == offset ? it->leader : LeaderNone;
}

int32_t ParagraphLayout::lineOfOffset(int32_t offset) const {
    auto it = std::upper_bound(lines_.begin(), lines_.end(), offset,
                               [](int32_t o, const LineBox& l) { return o < l.start; });
    return std::max(0, int32_t(it - lines_.begin()) - 1);
}

Twips ParagraphLayout::xOfOffset(int32_t offset) const {
    if (x_.empty())
        return Twips(0);
    return Twips(x_[size_t(std::clamp(offset, 0, int32_t(x_.size()) - 1))]);
}

TwipsPoint ParagraphLayout::positionOf(int32_t offset) const {
    if (lines_.empty())
        return {};
    return {xOfOffset(offset), line(lineOfOffset(offset)).top};
}

int32_t ParagraphLayout::offsetInLine(int32_t li, Twips x) const {
    const LineBox& l = line(std::clamp(li, 0, lineCount() - 1));
    // The closing mark is a place to stand only after the line's last character.
    int32_t end = l.end();
    if (l.lastLine || l.forcedBreak)
        end = std::max(l.start, end - 1);
    for (int32_t i = l.start; i < end; ++i) {
        const int32_t left = x_[size_t(i)];
        const int32_t right = i + 1 < l.end() ? x_[size_t(i) + 1] : std::max(left, l.penEnd.v);
        if (x.v < (left + right + 1) / 2)
            return i;
    }
    return end;
}

int32_t ParagraphLayout::offsetAt(TwipsPoint p) const {
    if (lines_.empty())
        return 0;
    auto it = std::upper_bound(lines_.begin(), lines_.end(), p.y.v,
                               [](int32_t y, const LineBox& l) { return y < l.top.v; });
    const int32_t li = std::max(0, int32_t(it - lines_.begin()) - 1);
    return offsetInLine(li, p.x);
}

} // namespace richedit::layout
