#include "engine/layout/Painter.h"

#include "engine/layout/QtTextMeasurer.h"

#include "engine/model/PictureObject.h"

#include <QFont>
#include <QGlyphRun>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <limits>

namespace richedit::layout {

namespace {

using model::CharFormat;
using model::CharPos;
using model::ParaIndex;

// The font text of a format is drawn with: as it is measured (same family, weight and slant),
// without hinting, at a size in device pixels.
QFont drawingFont(const CharFormat& format, qreal pixels) {
    return layoutFont(format, std::max(1, int(std::lround(pixels))));
}

bool needsGlyph(QChar c) {
    const QChar::Category cat = c.category();
    return cat != QChar::Other_Control && cat != QChar::Other_Format;
}

// Only the object extents are asked of this measurer.
class ExtentMeasurer final : public TextMeasurer {
public:
    FontExtents extents(const CharFormat&) override { return {}; }
    void advances(const CharFormat&, QStringView text, std::vector<qreal>& out) override {
        out.resize(out.size() + size_t(text.size()), 0.0);
    }
};

// A device-independent bitmap lacks the file header that QImage's BMP reader wants.
QByteArray withBitmapFileHeader(const QByteArray& dib) {
    if (dib.size() < 40)
        return {};
    const auto* d = reinterpret_cast<const uchar*>(dib.constData());
    const quint32 headerSize = qFromLittleEndian<quint32>(d);
    const quint16 bits = qFromLittleEndian<quint16>(d + 14);
    const quint32 compression = qFromLittleEndian<quint32>(d + 16);
    quint32 colours = qFromLittleEndian<quint32>(d + 32);
    if (colours == 0 && bits <= 8)
        colours = 1u << bits;
    quint32 masks = (headerSize == 40 && compression == 3) ? 12 : 0;
    const quint32 offset = 14 + headerSize + masks + colours * 4;
    QByteArray file(14, '\0');
    auto* h = reinterpret_cast<uchar*>(file.data());
    h[0] = 'B';
    h[1] = 'M';
    qToLittleEndian<quint32>(quint32(14 + dib.size()), h + 2);
    qToLittleEndian<quint32>(offset, h + 10);
    return file + dib;
}

QImage decodePicture(const model::PictureObject& p) {
    QImage image;
    switch (p.format) {
    case model::PictureFormat::Png:
        image.loadFromData(p.data, "PNG");
        break;
    case model::PictureFormat::Jpeg:
        image.loadFromData(p.data, "JPEG");
        break;
    case model::PictureFormat::Dib:
        image.loadFromData(withBitmapFileHeader(p.data), "BMP");
        break;
    default:
        break;
    }
    if (image.isNull() && p.format != model::PictureFormat::Emf &&
        p.format != model::PictureFormat::Wmf)
        image.loadFromData(p.data);
    return image;
}

const model::PictureObject* pictureOf(const model::EmbeddedObject* object) {
    if (const auto* picture = dynamic_cast<const model::PictureObject*>(object))
        return picture;
    if (const auto* ole = dynamic_cast<const model::OleObjectData*>(object))
        return ole->result.get();
    return nullptr;
}

// One stretch of a line drawn alike: one format, all selected or not, one kind of content.
struct Piece {
    int32_t start;
    int32_t end;
    const CharFormat* format;
    bool selected;
};

} // namespace

QRawFont Painter::rawFont(const CharFormat& format, qreal pixels) {
    const QFont font = drawingFont(format, 100);
    const QString key = QStringLiteral("%1|%2|%3|%4")
                            .arg(font.family())
                            .arg(font.weight())
                            .arg(font.italic())
                            .arg(pixels, 0, 'f', 3);
    auto it = fonts_.find(key);
    if (it != fonts_.end())
        return it.value();
    QRawFont raw = QRawFont::fromFont(font);
    if (raw.isValid())
        raw.setPixelSize(pixels);
    fonts_.insert(key, raw);
    return raw;
}

void Painter::paint(QPainter& painter, const PaintOptions& o) {
    const int32_t paragraphs = doc_.paragraphCount();
    if (paragraphs == 0 || o.scale <= 0)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);

    // The vertical stretch of the layout inside the clip.
    qreal yTop = o.from.y.v;
    qreal yBottom = std::numeric_limits<qreal>::max();
    if (!o.clip.isEmpty()) {
        yTop = o.from.y.v + (o.clip.top() - o.origin.y()) / o.scale;
        yBottom = o.from.y.v + (o.clip.bottom() - o.origin.y()) / o.scale;
        painter.setClipRect(o.clip, Qt::IntersectClip);
    }
    const int32_t yStart = int32_t(std::clamp<qreal>(std::floor(yTop), 0, 2e9));
    ParaIndex p = doc_.paragraphAt(layout_.charFromPoint({Twips(0), Twips(yStart)}));
    if (o.firstChar > CharPos(0))
        p = std::max(p, doc_.paragraphAt(std::min(o.firstChar, doc_.end())));
    for (; p.v < paragraphs; ++p) {
        const qreal paraTop = layout_.paragraphTop(p).v;
        if (paraTop > yBottom)
            break;
        const ParagraphLayout& pl = layout_.paragraphLayout(p);
        const CharPos paraStart = doc_.paragraphStart(p);
        bool done = false;
        for (const LineBox& line : pl.lines()) {
            const qreal top = paraTop + line.top.v;
            if (top > yBottom) {
                done = true;
                break;
            }
            if (top + line.height.v < yTop)
                continue;
            const CharPos at = paraStart + line.start;
            if (at < o.firstChar)
                continue;
            if (o.endChar >= CharPos(0) && at >= o.endChar) {
                done = true;
                break;
            }
            paintLine(painter, o, p, pl, line, paraTop);
        }
        if (done)
            break;
    }
    painter.restore();
}

void Painter::paintLine(QPainter& painter, const PaintOptions& o, ParaIndex p,
                        const ParagraphLayout& pl, const LineBox& line, qreal paraTop) {
    const model::Paragraph& para = doc_.paragraph(p);
    const auto& formats = doc_.charFormats();
    const QString& text = para.text;
    const int32_t paraStart = doc_.paragraphStart(p).v;
    const qreal s = o.scale;
    auto dx = [&](qreal x) { return o.origin.x() + (x - o.from.x.v) * s; };
    auto dy = [&](qreal y) { return o.origin.y() + (y - o.from.y.v) * s; };
    const qreal lineTop = paraTop + line.top.v;
    const qreal baseline = lineTop + line.baseline.v;
    auto xAt = [&](int32_t i) -> qreal {
        return i < line.end() ? pl.xOfOffset(i).v : qreal(line.penEnd.v);
    };
    auto endX = [&](int32_t i) -> qreal {
        return i + 1 < line.end() ? qreal(pl.xOfOffset(i + 1).v) : qreal(line.penEnd.v);
    };

    // The format of every character of the line.
    std::vector<const CharFormat*> fmt(size_t(line.length), nullptr);
    {
        int32_t at = 0;
        for (const model::Run& r : para.runs) {
            for (int32_t i = std::max(at, line.start); i < std::min(at + r.length, line.end()); ++i)
                fmt[size_t(i - line.start)] = &formats[r.format];
            at += r.length;
            if (at >= line.end())
                break;
        }
    }
    static const CharFormat kPlain;
    auto formatAt = [&](int32_t i) -> const CharFormat& {
        const CharFormat* f = fmt[size_t(i - line.start)];
        return f ? *f : kPlain;
    };
    const int32_t selFrom = o.selectionStart.v - paraStart;
    const int32_t selTo = o.selectionEnd.v - paraStart;
    auto selected = [&](int32_t i) { return i >= selFrom && i < selTo; };

    auto colourOf = [&](const CharFormat& f, bool sel) {
        if (sel)
            return o.selectionText;
        if (f.effects & CFE_DISABLED)
            return QColor(Qt::gray);
        if (!(f.effects & CFE_AUTOCOLOR))
            return colorOf(f.textColor);
        if (f.effects & CFE_LINK)
            return QColor(0, 0, 0xFF);
        return o.textColor;
    };

    // Draws characters at given device x positions.
    auto drawChars = [&](const CharFormat& f, const QString& chars, const std::vector<qreal>& xs,
                         qreal y, qreal pixels, const QColor& colour) {
        if (chars.isEmpty() || pixels <= 0.2)
            return;
        QRawFont raw = rawFont(f, pixels);
        bool ok = raw.isValid();
        QList<quint32> glyphs;
        if (ok) {
            glyphs = raw.glyphIndexesForString(chars);
            ok = glyphs.size() == chars.size();
            for (qsizetype i = 0; ok && i < glyphs.size(); ++i)
                if (glyphs[i] == 0 && needsGlyph(chars[i]))
                    ok = false;
        }
        if (ok) {
            QList<quint32> shown;
            QList<QPointF> positions;
            for (qsizetype i = 0; i < glyphs.size(); ++i) {
                if (!needsGlyph(chars[i]) || chars[i] == u' ')
                    continue;
                shown.push_back(glyphs[i]);
                positions.push_back(QPointF(xs[size_t(i)], y));
            }
            if (shown.isEmpty())
                return;
            QGlyphRun run;
            run.setRawFont(raw);
            run.setGlyphIndexes(shown);
            run.setPositions(positions);
            painter.setPen(colour);
            painter.drawGlyphRun(QPointF(0, 0), run);
            return;
        }
        // Text the font lacks glyphs for: Qt's own shaping with its fallback fonts, word by word
        // at the layout's positions; characters no font has show as empty boxes.
        QFont font = drawingFont(f, pixels);
        QPaintDevice* device = painter.device();
        const qreal dpi = device ? device->logicalDpiY() : 96;
        font.setPointSizeF(std::max<qreal>(0.1, pixels * 72.0 / dpi));
        painter.setPen(colour);
        qsizetype i = 0;
        while (i < chars.size()) {
            while (i < chars.size() && chars[i] == u' ')
                ++i;
            qsizetype j = i;
            while (j < chars.size() && chars[j] != u' ')
                ++j;
            if (j > i) {
                QTextLayout shaped(chars.mid(i, j - i), font, device);
                QTextOption option;
                option.setUseDesignMetrics(true);
                option.setWrapMode(QTextOption::NoWrap);
                shaped.setTextOption(option);
                shaped.beginLayout();
                QTextLine tl = shaped.createLine();
                shaped.endLayout();
                if (tl.isValid()) {
                    const QPointF at(xs[size_t(i)], y - tl.ascent());
                    for (QGlyphRun run : shaped.glyphRuns()) {
                        QList<quint32> ids = run.glyphIndexes();
                        QList<QPointF> pos = run.positions();
                        QList<quint32> keep;
                        QList<QPointF> keepPos;
                        for (qsizetype g = 0; g < ids.size() && g < pos.size(); ++g) {
                            if (ids[g] != 0) {
                                keep.push_back(ids[g]);
                                keepPos.push_back(pos[g]);
                                continue;
                            }
                            const qreal w = pixels * 0.55;
                            painter.setBrush(Qt::NoBrush);
                            painter.setPen(QPen(colour, std::max<qreal>(pixels / 20, 0.5)));
                            painter.drawRect(QRectF(at.x() + pos[g].x() + w * 0.1, y - pixels * 0.7,
                                                    w * 0.8, pixels * 0.7));
                        }
                        run.setGlyphIndexes(keep);
                        run.setPositions(keepPos);
                        painter.setPen(colour);
                        if (!keep.isEmpty())
                            painter.drawGlyphRun(at, run);
                    }
                }
            }
            i = j;
        }
    };

    // Bullet or number in the hanging indent.
    if (line.start == 0 && !pl.numberText().isEmpty() && line.length > 0) {
        CharFormat nf = formatAt(0);
        nf.effects &= ~uint32_t(CFE_HIDDEN | CFE_SUBSCRIPT | CFE_SUPERSCRIPT | CFE_UNDERLINE |
                                CFE_STRIKEOUT | CFE_LINK);
        nf.offset = 0;
        const qreal px = measuredHeight(nf) * s;
        QRawFont raw = rawFont(nf, px);
        const QString& number = pl.numberText();
        std::vector<qreal> xs;
        qreal x = dx(pl.numberX().v);
        if (raw.isValid()) {
            const QList<quint32> glyphs = raw.glyphIndexesForString(number);
            const QList<QPointF> adv = raw.advancesForGlyphIndexes(
                glyphs, QRawFont::LayoutFlags(QRawFont::UseDesignMetrics));
            for (qsizetype i = 0; i < number.size(); ++i) {
                xs.push_back(x);
                x += i < adv.size() ? adv[i].x() : px / 2;
            }
        } else {
            xs.assign(size_t(number.size()), x);
        }
        drawChars(nf, number, xs, dy(baseline), px, colourOf(nf, false));
    }

    // Split the line into pieces.
    std::vector<Piece> pieces;
    for (int32_t i = line.start; i < line.end();) {
        const QChar c = text[i];
        if (c == QChar(model::kParagraphMark) || c == QChar(model::kLineBreak)) {
            if (selected(i))
                pieces.push_back({i, i + 1, &formatAt(i), true});
            ++i;
            continue;
        }
        const CharFormat* f = &formatAt(i);
        const bool sel = selected(i);
        int32_t j = i + 1;
        if (c != u'\t' && c != QChar(model::kObjectChar))
            while (j < line.end() && &formatAt(j) == f && selected(j) == sel && text[j] != u'\t' &&
                   text[j] != QChar(model::kObjectChar) &&
                   text[j] != QChar(model::kParagraphMark) && text[j] != QChar(model::kLineBreak))
                ++j;
        pieces.push_back({i, j, f, sel});
        i = j;
    }

    const qreal lineTopDev = dy(lineTop);
    const qreal lineBottomDev = dy(lineTop + line.height.v);
    // Backgrounds and selection first, so that no piece paints over its neighbour's text.
    for (const Piece& pc : pieces) {
        const CharFormat& f = *pc.format;
        if ((f.effects & CFE_HIDDEN) && !pc.selected)
            continue;
        qreal x0 = dx(xAt(pc.start));
        qreal x1 = dx(endX(pc.end - 1));
        const QChar c = text[pc.start];
        if (c == QChar(model::kParagraphMark) || c == QChar(model::kLineBreak))
            x1 = x0 + f.height * s / 3; // a selected mark shows as a narrow box
        if (pc.selected)
            painter.fillRect(QRectF(x0, lineTopDev, x1 - x0, lineBottomDev - lineTopDev),
                             o.selectionBack);
        else if (!(f.effects & CFE_AUTOBACKCOLOR))
            painter.fillRect(QRectF(x0, lineTopDev, x1 - x0, lineBottomDev - lineTopDev),
                             colorOf(f.backColor));
    }

    ExtentMeasurer extents;
    for (const Piece& pc : pieces) {
        const CharFormat& f = *pc.format;
        const QChar first = text[pc.start];
        if ((f.effects & CFE_HIDDEN) || first == QChar(model::kParagraphMark) ||
            first == QChar(model::kLineBreak))
            continue;
        const QColor colour = colourOf(f, pc.selected);
        const qreal px = measuredHeight(f) * s;
        const qreal base = dy(baseline - baselineRaise(f));
        const qreal x0 = dx(xAt(pc.start));
        const qreal x1 = dx(endX(pc.end - 1));

        if (first == u'\t') {
            // The leader of the stop the layout sent the tab to, across the tab as placed.
            const TabLeader leader = pl.tabLeader(pc.start);
            const qreal pad = f.height * s * 0.15;
            const qreal a = x0 + pad;
            const qreal b = x1 - pad;
            if (leader == LeaderNone || b <= a)
                continue;
            const qreal t = std::max<qreal>(px / 16, 0.6);
            QPen pen(colour, t);
            pen.setCapStyle(Qt::FlatCap);
            switch (leader) {
            case LeaderDots: {
                const qreal step = px * 0.3;
                const qreal r = std::max<qreal>(px * 0.045, 0.5);
                painter.setPen(Qt::NoPen);
                painter.setBrush(colour);
                for (qreal x = std::ceil(a / step) * step; x < b; x += step)
                    painter.drawEllipse(QPointF(x, base - r), r, r);
                painter.setBrush(Qt::NoBrush);
                break;
            }
            case LeaderDashes:
                pen.setDashPattern({3, 2});
                painter.setPen(pen);
                painter.drawLine(QPointF(a, base - px * 0.25), QPointF(b, base - px * 0.25));
                break;
            case LeaderLine:
                painter.setPen(pen);
                painter.drawLine(QPointF(a, base + px * 0.1), QPointF(b, base + px * 0.1));
                break;
            case LeaderThick:
                pen.setWidthF(t * 2.5);
                painter.setPen(pen);
                painter.drawLine(QPointF(a, base + px * 0.1), QPointF(b, base + px * 0.1));
                break;
            default: // equals
                painter.setPen(pen);
                painter.drawLine(QPointF(a, base - px * 0.2), QPointF(b, base - px * 0.2));
                painter.drawLine(QPointF(a, base - px * 0.35), QPointF(b, base - px * 0.35));
                break;
            }
            continue;
        }

        if (first == QChar(model::kObjectChar)) {
            model::ObjectRef ref;
            for (const model::ObjectAt& oa : para.objects)
                if (oa.offset == pc.start)
                    ref = oa.object;
            const model::EmbeddedObject* object = ref.get();
            const ObjectExtent e = extents.objectExtent(object);
            const QRectF box(x0, base - e.height * s, e.width * s, e.height * s);
            QImage image;
            if (const model::PictureObject* picture = pictureOf(object)) {
                auto it = pictures_.find(object);
                if (it == pictures_.end() || it->object.expired())
                    it = pictures_.insert(object, {ref, decodePicture(*picture)});
                image = it->image;
            }
            if (!image.isNull()) {
                painter.drawImage(box, image);
            } else {
                painter.fillRect(box, QColor(0xD8, 0xD8, 0xD8));
                painter.setPen(QPen(QColor(0x80, 0x80, 0x80), 0));
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(box);
            }
            if (pc.selected)
                painter.fillRect(box, QColor(o.selectionBack.red(), o.selectionBack.green(),
                                             o.selectionBack.blue(), 0x60));
            continue;
        }

        // Text.
        QString chars = text.mid(pc.start, pc.end - pc.start);
        std::vector<qreal> xs;
        xs.reserve(size_t(chars.size()));
        for (int32_t i = pc.start; i < pc.end; ++i)
            xs.push_back(dx(xAt(i)));
        if ((f.effects & CFE_SMALLCAPS) && !(f.effects & CFE_ALLCAPS)) {
            // Lower-case letters as smaller capitals, at the capitals' positions.
            qsizetype i = 0;
            while (i < chars.size()) {
                const bool lower = chars[i].isLower();
                qsizetype j = i + 1;
                while (j < chars.size() && chars[j].isLower() == lower)
                    ++j;
                const QString part = chars.mid(i, j - i).toUpper();
                std::vector<qreal> px2(xs.begin() + i, xs.begin() + j);
                drawChars(f, part, px2, base, lower ? px * kSmallCapitalScale : px, colour);
                i = j;
            }
        } else {
            if (f.effects & CFE_ALLCAPS)
                chars = chars.toUpper();
            drawChars(f, chars, xs, base, px, colour);
        }

        // Lines through and under the text.
        const qreal thick = std::max<qreal>(px / 16, 0.5);
        uint8_t ul = 0;
        if (f.effects & CFE_UNDERLINE)
            ul = f.underlineType ? f.underlineType : CFU_UNDERLINE;
        else if (f.effects & CFE_LINK)
            ul = CFU_UNDERLINE; // a link shows as one in any colour

        if (ul != CFU_UNDERLINENONE) {
            // Words only: stretches without spaces; otherwise the whole piece but trailing
            // white space at the line's end.
            std::vector<std::pair<qreal, qreal>> spans;
            int32_t lastInk = pc.end - 1;
            if (pc.end >= line.end() - 1)
                while (lastInk >= pc.start && text[lastInk] == u' ')
                    --lastInk;
            if (ul == CFU_UNDERLINEWORD) {
                int32_t i = pc.start;
                while (i <= lastInk) {
                    while (i <= lastInk && text[i].isSpace())
                        ++i;
                    int32_t j = i;
                    while (j <= lastInk && !text[j].isSpace())
                        ++j;
                    if (j > i)
                        spans.push_back({dx(xAt(i)), dx(endX(j - 1))});
                    i = j;
                }
            } else if (lastInk >= pc.start) {
                spans.push_back({x0, dx(endX(lastInk))});
            }
            const qreal uy = base + px * 0.12;
            for (const auto& span : spans) {
                const qreal a = span.first;
                const qreal b = span.second;
                QPen pen(colour, thick);
                pen.setCapStyle(Qt::FlatCap);
                auto wave = [&](qreal y, qreal amp, qreal width) {
                    QPainterPath path;
                    const qreal period = std::max<qreal>(amp * 4, 2);
                    path.moveTo(a, y);
                    for (qreal x = a; x < b; x += period / 2) {
                        const qreal nx = std::min(b, x + period / 2);
                        const qreal ny =
                            (int(std::lround((x - a) / (period / 2))) % 2) ? y + amp : y - amp;
                        path.lineTo(nx, nx == b ? y : ny);
                    }
                    QPen wp(colour, width);
                    wp.setCapStyle(Qt::FlatCap);
                    painter.setPen(wp);
                    painter.setBrush(Qt::NoBrush);
                    painter.drawPath(path);
                };
                switch (ul) {
                case CFU_UNDERLINEDOUBLE:
                    pen.setWidthF(thick * 0.8);
                    painter.setPen(pen);
                    painter.drawLine(QPointF(a, uy - thick), QPointF(b, uy - thick));
                    painter.drawLine(QPointF(a, uy + thick), QPointF(b, uy + thick));
                    break;
                case CFU_UNDERLINEDOTTED:
                    pen.setStyle(Qt::DotLine);
                    painter.setPen(pen);
                    painter.drawLine(QPointF(a, uy), QPointF(b, uy));
                    break;
                case CFU_UNDERLINEDASH:
                    pen.setDashPattern({4, 2});
                    painter.setPen(pen);
                    painter.drawLine(QPointF(a, uy), QPointF(b, uy));
                    break;
                case CFU_UNDERLINEDASHDOT:
                    pen.setDashPattern({4, 2, 1, 2});
                    painter.setPen(pen);
                    painter.drawLine(QPointF(a, uy), QPointF(b, uy));
                    break;
                case CFU_UNDERLINEDASHDOTDOT:
                    pen.setDashPattern({4, 2, 1, 2, 1, 2});
                    painter.setPen(pen);
                    painter.drawLine(QPointF(a, uy), QPointF(b, uy));
                    break;
                case CFU_UNDERLINELONGDASH:
                    pen.setDashPattern({8, 3});
                    painter.setPen(pen);
                    painter.drawLine(QPointF(a, uy), QPointF(b, uy));
                    break;
                case CFU_UNDERLINEWAVE:
                    wave(uy + thick / 2, std::max<qreal>(thick, 0.7), thick);
                    break;
                case CFU_UNDERLINEHEAVYWAVE:
                    wave(uy + thick, std::max<qreal>(thick * 1.5, 1), thick * 2);
                    break;
                case CFU_UNDERLINEDOUBLEWAVE:
                    wave(uy - thick / 2, std::max<qreal>(thick, 0.7), thick * 0.8);
                    wave(uy + thick * 2, std::max<qreal>(thick, 0.7), thick * 0.8);
                    break;
                case CFU_UNDERLINETHICK:
                    pen.setWidthF(thick * 2);
                    painter.setPen(pen);
                    painter.drawLine(QPointF(a, uy + thick / 2), QPointF(b, uy + thick / 2));
                    break;
                case CFU_UNDERLINEHAIRLINE:
                    pen.setWidthF(0); // one device pixel
                    painter.setPen(pen);
                    painter.drawLine(QPointF(a, uy), QPointF(b, uy));
                    break;
                default:
                    painter.setPen(pen);
                    painter.drawLine(QPointF(a, uy), QPointF(b, uy));
                    break;
                }
            }
        }
        if (f.effects & CFE_STRIKEOUT) {
            QPen pen(colour, thick);
            pen.setCapStyle(Qt::FlatCap);
            painter.setPen(pen);
            const qreal sy = base - px * 0.28;
            painter.drawLine(QPointF(x0, sy), QPointF(x1, sy));
        }
    }
}

} // namespace richedit::layout
