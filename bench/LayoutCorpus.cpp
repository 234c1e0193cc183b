#include "LayoutCorpus.h"

#include "BenchRandom.h"

#include <QString>

#include <array>
#include <vector>

namespace quillex::bench {

using namespace richedit;
using model::CharFormat;
using model::CharFormatId;
using model::ParaFormat;
using model::ParaFormatId;

namespace {

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

// About one word in twenty is one of these (letters the Liberation and DejaVu fonts hold).
constexpr std::array kAccentedWords = {
    u"café",        u"naïve",    u"Straße", u"Zürich", u"façade", u"déjà",
    u"smörgåsbord", u"“quoted”", u"–",      u"€12",    u"señor",  u"œuvre",
};

constexpr std::array kHeadingWords = {
    u"Overview", u"Results", u"Background", u"Method", u"Findings", u"Outlook",
    u"Annex",    u"Budget",  u"Timeline",   u"Scope",  u"Résumé",   u"Notes",
};

struct Formats {
    CharFormatId body = 0;
    std::vector<CharFormatId> accents;
    CharFormatId heading1 = 0;
    CharFormatId heading2 = 0;
    CharFormatId label = 0;
    ParaFormatId bodyPara = 0;
    ParaFormatId headingPara = 0;
    ParaFormatId numberedPara = 0;
    ParaFormatId tabbedPara = 0;
};

CharFormat face(const char16_t* name, int32_t height, uint32_t effects = 0) {
    CharFormat f;
    f.face = QString::fromUtf16(name);
    f.height = height;
    f.effects |= effects;
    if (effects & CFE_BOLD)
        f.weight = 700;
    return f;
}

CharFormat coloured(CharFormat f, COLORREF colour) {
    f.effects &= ~CFE_AUTOCOLOR;
    f.textColor = colour;
    return f;
}

Formats internFormats(model::Document& doc) {
    auto& cf = doc.charFormats();
    auto& pf = doc.paraFormats();
    Formats f;
    f.body = cf.intern(face(u"Liberation Serif", 240));
    f.accents = {
        cf.intern(face(u"Liberation Serif", 240, CFE_BOLD)),
        cf.intern(face(u"Liberation Serif", 240, CFE_ITALIC)),
        cf.intern(face(u"Liberation Serif", 240, CFE_BOLD | CFE_ITALIC)),
        cf.intern(face(u"Liberation Serif", 280)),           // 14 pt
        cf.intern(face(u"Liberation Serif", 320, CFE_BOLD)), // 16 pt
        cf.intern(face(u"Liberation Sans", 200)),            // 10 pt
        cf.intern(face(u"Liberation Sans", 220, CFE_ITALIC)),
        cf.intern(face(u"DejaVu Sans", 180)), // 9 pt
        cf.intern(face(u"DejaVu Sans", 200, CFE_BOLD)),
        cf.intern(coloured(face(u"Liberation Serif", 240), 0x00A05000)),
    };
    f.heading1 = cf.intern(face(u"Liberation Sans", 320, CFE_BOLD));
    f.heading2 = cf.intern(face(u"Liberation Sans", 260, CFE_BOLD | CFE_ITALIC));
    f.label = cf.intern(face(u"DejaVu Sans", 200, CFE_BOLD));

    ParaFormat body;
    body.alignment = PFA_JUSTIFY;
    body.spaceAfter = 120;
    body.offset = -360; // the first line starts a quarter inch further in
    body.startIndent = 360;
    f.bodyPara = pf.intern(body);

    ParaFormat heading;
    heading.spaceBefore = 240;
    heading.spaceAfter = 60;
    heading.effects = PFE_KEEPNEXT;
    f.headingPara = pf.intern(heading);

    ParaFormat numbered;
    numbered.numbering = PFN_ARABIC;
    numbered.numberingStyle = PFNS_PERIOD;
    numbered.numberingStart = 1;
    numbered.numberingTab = 360;
    numbered.startIndent = 720;
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
        : builder_(doc), formats_(formats), random_(20251210) {}

    void bodyParagraph(int32_t words, ParaFormatId para) {
        int32_t sentence = 0;
        int32_t sentenceLength = random_.between(8, 20);
        int32_t segmentLeft = random_.between(8, 12);
        CharFormatId format = formats_.body;
        QString stretch;
        for (int32_t w = 0; w < words; ++w) {
            if (segmentLeft-- == 0) {
                // Half of the stretches go back to the body format, half take an accent.
                const CharFormatId next =
                    random_.below(2)
                        ? formats_.body
                        : formats_.accents[random_.below(uint32_t(formats_.accents.size()))];
                if (next != format) {
                    put(stretch, format);
                    format = next;
                }
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
            stretch += word;
        }
        put(stretch, format);
        builder_.endParagraph(para, formats_.body);
        written_ += 1;
    }

    void heading(bool top) {
        QString text;
        const int32_t words = random_.between(2, 5);
        for (int32_t w = 0; w < words; ++w) {
            if (w > 0)
                text += u' ';
            text += QString::fromUtf16(kHeadingWords[random_.below(kHeadingWords.size())]);
        }
        const CharFormatId format = top ? formats_.heading1 : formats_.heading2;
        put(text, format);
        builder_.endParagraph(formats_.headingPara, format);
        written_ += 1;
    }

    // One line of a price list: a label, a name, a quantity and an amount, at the tab stops.
    void tabbedLine() {
        QString label = QStringLiteral("Item\t");
        put(label, formats_.label);
        QString line = word();
        line += QStringLiteral("\t%1\t%2.%3")
                    .arg(random_.between(1, 400))
                    .arg(random_.between(1, 9999))
                    .arg(random_.between(10, 99));
        put(line, formats_.body);
        builder_.endParagraph(formats_.tabbedPara, formats_.body);
        written_ += 1;
    }

    void finish() { builder_.finish(formats_.bodyPara, formats_.body); }
    Lcg& random() { return random_; }
    int64_t written() const { return written_; }

private:
    QString word() {
        if (random_.below(20) == 0)
            return QString::fromUtf16(kAccentedWords[random_.below(kAccentedWords.size())]);
        return QString::fromUtf16(kWords[random_.below(kWords.size())]);
    }

    void put(QString& text, CharFormatId format) {
        if (text.isEmpty())
            return;
        builder_.text(text, format);
        written_ += text.size();
        text.clear();
    }

    model::DocumentBuilder builder_;
    const Formats& formats_;
    Lcg random_;
    int64_t written_ = 0; // characters, paragraph marks included
};

} // namespace

void buildLayoutDocument(model::Document& out, int64_t characters) {
    const Formats formats = internFormats(out);
    Writer writer(out, formats);
    // Paragraphs come in sections of twenty: a heading, body text, a numbered list of three and
    // a price list of four tabbed lines.
    for (int32_t paragraph = 0; writer.written() < characters; ++paragraph) {
        const int32_t kind = paragraph % 20;
        if (kind == 0) {
            writer.heading(paragraph % 60 == 0);
        } else if (kind == 7) {
            for (int i = 0; i < 3; ++i)
                writer.bodyParagraph(writer.random().between(20, 40), formats.numberedPara);
            paragraph += 2;
        } else if (kind == 13) {
            for (int i = 0; i < 4; ++i)
                writer.tabbedLine();
            paragraph += 3;
        } else {
            writer.bodyParagraph(writer.random().between(130, 170), formats.bodyPara);
        }
    }
    writer.finish();
}

} // namespace quillex::bench
