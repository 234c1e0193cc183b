#include "engine/layout/QtTextMeasurer.h"

#include <QFont>
#include <QTextLayout>

namespace richedit::layout {

namespace {

// Text that the format's own font lacks glyphs for is shaped by Qt's text layout, which falls
// back to other fonts; at this pixel size its positions are precise to a fraction of a twip
// once scaled to the text's height.
constexpr int kShapingPixels = 2048;

bool needsGlyph(QChar c) {
    const QChar::Category cat = c.category();
    return cat != QChar::Other_Control && cat != QChar::Other_Format && !c.isLowSurrogate();
}

// Advances from a shaped line: the distance between neighbouring cursor positions.
void shapedAdvances(const model::CharFormat& format, const QString& chars, qreal* out) {
    QTextLayout layout(chars, layoutFont(format, kShapingPixels));
    QTextOption option;
    option.setUseDesignMetrics(true);
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    if (!line.isValid())
        return;
    const qreal scale = qreal(measuredHeight(format)) / kShapingPixels;
    const int n = int(chars.size());
    qreal x = line.cursorToX(0);
    for (int i = 0; i < n; ++i) {
        const qreal next = i + 1 < n ? line.cursorToX(i + 1) : line.naturalTextWidth();
        out[i] = std::abs(next - x) * scale + format.spacing;
        x = next;
    }
    // A character's advance belongs to its first unit.
    for (int i = 1; i < n; ++i)
        if (chars[i].isLowSurrogate() && chars[i - 1].isHighSurrogate()) {
            out[i - 1] += out[i] - format.spacing;
            out[i] = 0;
        }
}

} // namespace

QFont layoutFont(const model::CharFormat& format, int pixels) {
    int weight = format.weight > 0 ? format.weight : 400;
    if (format.effects & CFE_BOLD)
        weight = std::max(weight, 700);
    QFont font(format.face.isEmpty() ? QStringLiteral("Arial") : format.face);
    font.setPixelSize(pixels);
    font.setWeight(QFont::Weight(std::clamp(weight, 1, 1000)));
    font.setItalic((format.effects & CFE_ITALIC) != 0);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::PreferOutline | QFont::ForceOutline));
    font.setKerning(false);
    return font;
}

QtTextMeasurer::DesignFont& QtTextMeasurer::entry(const model::CharFormat& format) {
    const QFont font = layoutFont(format, 1000);
    const QString key =
        QStringLiteral("%1|%2|%3").arg(font.family()).arg(font.weight()).arg(font.italic());
    auto it = fonts_.find(key);
    if (it != fonts_.end())
        return it.value();
    DesignFont f;
    f.raw = QRawFont::fromFont(font);
    if (f.raw.isValid())
        f.raw.setPixelSize(f.raw.unitsPerEm());
    return fonts_.insert(key, std::move(f)).value();
}

QRawFont QtTextMeasurer::designFont(const model::CharFormat& format) {
    return entry(format).raw;
}

FontExtents QtTextMeasurer::extents(const model::CharFormat& format) {
    const QRawFont raw = designFont(format);
    if (!raw.isValid())
        return {measuredHeight(format) * 0.8, measuredHeight(format) * 0.2, 0};
    const qreal scale = measuredHeight(format) / raw.pixelSize();
    return {raw.ascent() * scale, raw.descent() * scale, raw.leading() * scale};
}

void QtTextMeasurer::advances(const model::CharFormat& format, QStringView text,
                              std::vector<qreal>& out) {
    const size_t base = out.size();
    out.resize(base + size_t(text.size()), 0.0);
    if (text.isEmpty() || (format.effects & CFE_HIDDEN))
        return;
    QString chars = text.toString();
    if (showsCapitals(format)) {
        // Capitals one for one, so that positions keep their meaning.
        for (QChar& c : chars)
            c = c.toUpper();
    }
    DesignFont& font = entry(format);
    const QRawFont& raw = font.raw;
    const qreal scale = raw.isValid() ? measuredHeight(format) / raw.pixelSize() : 0;
    const QList<quint32> glyphs = raw.glyphIndexesForString(chars);
    // Glyph advances are asked of the font once and remembered.
    QList<quint32> unknown;
    for (quint32 glyph : glyphs) {
        if (glyph >= font.advance.size())
            font.advance.resize(size_t(glyph) + 1, -1.0f);
        if (font.advance[glyph] < 0) {
            font.advance[glyph] = 0; // asked for below
            unknown.push_back(glyph);
        }
    }
    if (!unknown.isEmpty()) {
        const QList<QPointF> measured =
            raw.advancesForGlyphIndexes(unknown, QRawFont::LayoutFlags(QRawFont::UseDesignMetrics));
        for (qsizetype i = 0; i < unknown.size() && i < measured.size(); ++i)
            font.advance[unknown[i]] = float(measured[i].x());
    }
    qsizetype g = 0;
    bool missing = glyphs.isEmpty() || !raw.isValid();
    for (qsizetype i = 0; i < chars.size(); ++i) {
        const bool pair =
            chars[i].isHighSurrogate() && i + 1 < chars.size() && chars[i + 1].isLowSurrogate();
        if (g < glyphs.size() && glyphs[g] == 0 && needsGlyph(chars[i]))
            missing = true;
        qreal a = g < glyphs.size() ? font.advance[glyphs[g]] * scale : 0.0;
        ++g;
        a += format.spacing;
        out[base + size_t(i)] = a;
        if (pair)
            ++i; // the low surrogate keeps 0
    }
    if (missing)
        shapedAdvances(format, chars, out.data() + base);
    if ((format.effects & CFE_SMALLCAPS) && !(format.effects & CFE_ALLCAPS)) {
        // Lower-case letters take the room of their smaller capitals.
        for (qsizetype i = 0; i < text.size(); ++i)
            if (text[i].isLower()) {
                qreal& a = out[base + size_t(i)];
                a = (a - format.spacing) * kSmallCapitalScale + format.spacing;
            }
    }
}

} // namespace richedit::layout
