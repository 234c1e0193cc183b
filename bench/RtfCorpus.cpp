#include "RtfCorpus.h"

#include "BenchRandom.h"

#include "engine/rtf/RtfWriter.h"

#include <QString>

#include <array>
#include <cmath>
#include <vector>

namespace quillex::bench {

using namespace richedit;
using model::CharFormat;
using model::CharFormatId;
using model::ParaFormat;
using model::ParaFormatId;

namespace {

// Font families and pitches as fonts describe themselves.
constexpr uint8_t kRoman = 0x10 | 2;  // proportional serif
constexpr uint8_t kSwiss = 0x20 | 2;  // proportional sans serif
constexpr uint8_t kModern = 0x30 | 1; // fixed pitch
constexpr uint8_t kAnsiCharSet = 0;

constexpr std::array kWords = {
    u"the",      u"of",         u"and",       u"to",        u"in",       u"a",         u"is",
    u"that",     u"for",        u"it",        u"as",        u"was",      u"with",      u"be",
    u"by",       u"on",         u"not",       u"this",      u"document", u"paragraph", u"editor",
    u"format",   u"between",    u"through",   u"committee", u"reported", u"results",   u"quarterly",
    u"measured", u"against",    u"previous",  u"although",  u"several",  u"questions", u"remained",
    u"open",     u"river",      u"mountain",  u"village",   u"harbour",  u"library",   u"window",
    u"evening",  u"morning",    u"carefully", u"whenever",  u"written",  u"printed",   u"supplies",
    u"estimate", u"chapter",    u"section",   u"figures",   u"table",    u"language",  u"interest",
    u"received", u"considered", u"proposal",  u"approved",
};

// About one word in fifteen is one of these.
constexpr std::array kForeignWords = {
    u"café",       u"naïve", u"Straße", u"Zürich",   u"façade", u"déjà",   u"smörgåsbord", u"œuvre",
    u"Ærøskøbing", u"€12",   u"–",      u"“quoted”", u"Αθήνα",  u"Москва", u"日本語",      u"señor",
};

constexpr std::array kHeadingWords = {
    u"Overview", u"Results", u"Background", u"Method", u"Findings", u"Outlook",
    u"Annex",    u"Budget",  u"Timeline",   u"Scope",  u"Résumé",   u"Notes",
};

struct Formats {
    CharFormatId body = 0;
    std::vector<CharFormatId> accents; // the formats of the emphasised stretches
    CharFormatId heading1 = 0;
    CharFormatId heading2 = 0;
    CharFormatId label = 0;
    ParaFormatId bodyPara = 0;
    ParaFormatId heading1Para = 0;
    ParaFormatId heading2Para = 0;
    ParaFormatId numberedPara = 0;
    ParaFormatId tabbedPara = 0;
};

CharFormat face(const char16_t* name, uint8_t pitchAndFamily, int32_t height) {
    CharFormat f;
    f.face = QString::fromUtf16(name);
    f.pitchAndFamily = pitchAndFamily;
    f.charSet = kAnsiCharSet;
    f.height = height;
    return f;
}

CharFormat coloured(CharFormat f, COLORREF colour) {
    f.effects &= ~CFE_AUTOCOLOR;
    f.textColor = colour;
    return f;
}

CharFormat withEffects(CharFormat f, uint32_t effects) {
    f.effects |= effects;
    if (effects & CFE_BOLD)
        f.weight = 700;
    if (effects & CFE_UNDERLINE)
        f.underlineType = 1;
    return f;
}

Formats internFormats(model::Document& doc) {
    auto& cf = doc.charFormats();
    auto& pf = doc.paraFormats();
    Formats f;
    const CharFormat body = face(u"Times New Roman", kRoman, 240);
    f.body = cf.intern(body);
    f.accents = {
        cf.intern(withEffects(body, CFE_BOLD)),
        cf.intern(withEffects(body, CFE_ITALIC)),
        cf.intern(withEffects(body, CFE_BOLD | CFE_ITALIC)),
        cf.intern(withEffects(body, CFE_UNDERLINE)),
        cf.intern(coloured(body, 0x000000C0)),                        // dark red
        cf.intern(coloured(body, 0x00A05000)),                        // blue
        cf.intern(coloured(withEffects(body, CFE_BOLD), 0x00008000)), // green, bold
        cf.intern(face(u"Times New Roman", kRoman, 280)),             // 14 pt
        cf.intern(face(u"Courier New", kModern, 200)),                // code, 10 pt
        cf.intern(face(u"Arial", kSwiss, 220)),
    };
    f.heading1 = cf.intern(withEffects(face(u"Arial", kSwiss, 320), CFE_BOLD));
    f.heading2 = cf.intern(withEffects(face(u"Arial", kSwiss, 260), CFE_BOLD | CFE_ITALIC));
    f.label = cf.intern(withEffects(face(u"Arial", kSwiss, 200), CFE_BOLD));

    ParaFormat bodyPara;
    bodyPara.alignment = PFA_JUSTIFY;
    bodyPara.spaceAfter = 120;
    bodyPara.offset = -360; // the first line starts a quarter inch further in
    bodyPara.startIndent = 360;
    f.bodyPara = pf.intern(bodyPara);

    ParaFormat heading;
    heading.spaceBefore = 240;
    heading.spaceAfter = 60;
    heading.effects = PFE_KEEPNEXT;
    heading.style = -2; // heading 1
    heading.outlineLevel = 0;
    f.heading1Para = pf.intern(heading);
    heading.style = -3; // heading 2
    heading.outlineLevel = 1;
    f.heading2Para = pf.intern(heading);

    ParaFormat numbered;
    numbered.numbering = PFN_ARABIC;
    numbered.numberingStyle = PFNS_PERIOD;
    numbered.numberingStart = 1;
    numbered.numberingTab = 360;
    numbered.startIndent = 720;
    numbered.offset = 0;
    numbered.spaceAfter = 60;
    f.numberedPara = pf.intern(numbered);

    ParaFormat tabbed;
    tabbed.tabCount = 3;
    tabbed.tabs[0] = 2880;                                 // left
    tabbed.tabs[1] = 5040 | (2 << 24);                     // right
    tabbed.tabs[2] = 7200 | (3 << 24) | int32_t(1u << 28); // decimal, dotted leader
    f.tabbedPara = pf.intern(tabbed);
    return f;
}

class Writer {
public:
    Writer(model::Document& doc, const Formats& formats)
        : builder_(doc), formats_(formats), random_(20240611) {}

    void bodyParagraph(int32_t words, ParaFormatId para) {
        int32_t sentence = 0;
        int32_t sentenceLength = random_.between(8, 20);
        int32_t segmentLeft = random_.between(8, 12);
        CharFormatId format = formats_.body;
        for (int32_t w = 0; w < words; ++w) {
            if (segmentLeft-- == 0) {
                // Half of the stretches go back to the body format, half take an accent.
                format = random_.below(2)
                             ? formats_.body
                             : formats_.accents[random_.below(uint32_t(formats_.accents.size()))];
                segmentLeft = random_.between(8, 12);
            }
            QString word = this->word();
            if (sentence == 0)
                word[0] = word[0].toUpper();
            ++sentence;
            if (w + 1 == words || sentence == sentenceLength) {
                word += u'.';
                sentence = 0;
                sentenceLength = random_.between(8, 20);
            } else if (random_.below(12) == 0) {
                word += u',';
            }
            if (w + 1 < words)
                word += u' ';
            builder_.text(word, format);
        }
        builder_.endParagraph(para, formats_.body);
    }

    void heading(bool top) {
        QString text;
        const int32_t words = random_.between(2, 5);
        for (int32_t w = 0; w < words; ++w) {
            if (w > 0)
                text += u' ';
            text += QString::fromUtf16(kHeadingWords[random_.below(kHeadingWords.size())]);
        }
        builder_.text(text, top ? formats_.heading1 : formats_.heading2);
        builder_.endParagraph(top ? formats_.heading1Para : formats_.heading2Para,
                              top ? formats_.heading1 : formats_.heading2);
    }

    // One line of a price list: a label, a name, a quantity and an amount, at the tab stops.
    void tabbedLine() {
        builder_.text(u"Item\t", formats_.label);
        QString line = word();
        line += QStringLiteral("\t%1\t%2.%3")
                    .arg(random_.between(1, 400))
                    .arg(random_.between(1, 9999))
                    .arg(random_.between(10, 99));
        builder_.text(line, formats_.body);
        builder_.endParagraph(formats_.tabbedPara, formats_.body);
    }

    QString word() {
        if (random_.below(15) == 0)
            return QString::fromUtf16(kForeignWords[random_.below(kForeignWords.size())]);
        return QString::fromUtf16(kWords[random_.below(kWords.size())]);
    }

    void finish() { builder_.finish(formats_.bodyPara, formats_.body); }
    Lcg& random() { return random_; }

private:
    model::DocumentBuilder builder_;
    const Formats& formats_;
    Lcg random_;
};

} // namespace

void buildFormattedDocument(model::Document& out, int32_t paragraphs) {
    const Formats formats = internFormats(out);
    Writer writer(out, formats);
    int32_t written = 0;
    // Paragraphs come in sections: a heading, body text, now and then a numbered list of three
    // or a price list of four tabbed lines.
    while (written < paragraphs) {
        const int32_t kind = written % 20;
        if (kind == 0) {
            writer.heading(written % 60 == 0);
        } else if (kind == 7 && paragraphs - written >= 3) {
            for (int i = 0; i < 3; ++i)
                writer.bodyParagraph(writer.random().between(20, 40), formats.numberedPara);
            written += 2;
        } else if (kind == 13 && paragraphs - written >= 4) {
            for (int i = 0; i < 4; ++i)
                writer.tabbedLine();
            written += 3;
        } else {
            writer.bodyParagraph(writer.random().between(90, 110), formats.bodyPara);
        }
        ++written;
    }
    writer.finish();
}

QByteArray rtfOf(const model::Document& doc) {
    rtf::BufferSink sink;
    rtf::writeRtf(doc, model::CharPos(0), doc.end(), sink);
    return std::move(sink.bytes);
}

int32_t paragraphsForRtfSize(int64_t rtfBytes) {
    constexpr int32_t kSample = 600; // a multiple of the 60-paragraph cycle of headings
    model::Document sample;
    buildFormattedDocument(sample, kSample);
    const double perParagraph = double(rtfOf(sample).size()) / kSample;
    return std::max<int32_t>(1, int32_t(std::lround(double(rtfBytes) / perParagraph)));
}

std::unique_ptr<RtfCorpus> makeRtfCorpus(int64_t megabytes) {
    auto corpus = std::make_unique<RtfCorpus>();
    buildFormattedDocument(corpus->document, paragraphsForRtfSize(megabytes << 20));
    corpus->rtf = rtfOf(corpus->document);
    const model::Document& d = corpus->document;
    corpus->characters = d.end().v;
    corpus->paragraphs = d.paragraphCount();
    for (int32_t p = 0; p < d.paragraphCount(); ++p)
        corpus->runs += int64_t(d.paragraph(model::ParaIndex(p)).runs.size());
    return corpus;
}

} // namespace quillex::bench
