#pragma once

// The reader's state machine, shared by the files that implement it: the group stack, the
// destination being read and what each destination collects.

#include "engine/model/PictureObject.h"
#include "engine/rtf/CodePage.h"
#include "engine/rtf/RtfKeywords.h"
#include "engine/rtf/RtfReader.h"
#include "engine/rtf/RtfTokenizer.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

namespace richedit::rtf::detail {

using model::CharFormat;
using model::CharFormatId;
using model::ParaFormat;
using model::ParaFormatId;

constexpr int kMaxDepth = 4096;

// Parameters are 32-bit but arithmetic on them is done in 64 bits and clamped to what the
// field can hold, so that no number in a document can overflow.
template <class T = int32_t> T clamped(int64_t v, int64_t lo, int64_t hi) {
    return T(std::clamp(v, lo, hi));
}

enum class Dest : uint8_t {
    Body,
    Skip,
    FontTable,
    ColorTable,
    StyleSheet,
    Info,
    Pict,
    Object,
    ObjData,
    ObjClass,
    ObjName,
    ObjResult,
    FieldInst,
    Pn,
    PnTextBefore,
    PnTextAfter,
    ListTable,
    List,
    ListLevel,
    LevelText,
    ListOverrideTable,
    ListOverride,
};

struct FontInfo {
    QString name;
    uint8_t charset = 1;
    uint8_t pitchAndFamily = 0;
    int codePage = 0;
};

struct StyleInfo {
    ParaFormat pf;
    CharFormat cf;
    QString name;
};

struct ListLevelInfo {
    int nfc = 0;
    int start = 1;
    QString text;
    int fi = 0;
};

struct GroupState {
    Dest dest = Dest::Body;
    CharFormat cf;
    ParaFormat pf;
    int uc = 1;
    int codePage = 1252;
    int ls = 0;
    int ilvl = 0;
    bool intbl = false;
    QString link;       // the target of the HYPERLINK field whose result this is
    int fieldLevel = 0; // fields open around this group
    bool fontEntry = false;
    bool hardSkip = false; // an alternative rendering: nothing inside it is text
    bool inShape = false;
};

// Pictures decode their hex digits as they arrive.
struct PictBuilder {
    std::shared_ptr<model::PictureObject> pict = std::make_shared<model::PictureObject>();
    int nibble = -1;
    void hex(std::string_view text) {
        static const auto table = [] {
            std::array<int8_t, 256> t{};
            t.fill(-1);
            for (int c = 0; c < 10; ++c)
                t[size_t('0' + c)] = int8_t(c);
            for (int c = 0; c < 6; ++c) {
                t[size_t('a' + c)] = int8_t(10 + c);
                t[size_t('A' + c)] = int8_t(10 + c);
            }
            return t;
        }();
        QByteArray& data = pict->data;
        for (char ch : text) {
            const int v = table[static_cast<unsigned char>(ch)];
            if (v < 0)
                continue;
            if (nibble < 0) {
                nibble = v;
            } else {
                data.append(char(nibble * 16 + v));
                nibble = -1;
            }
        }
    }
};

struct FieldInfo {
    QString instruction;
};

// The character a control word stands for, or a null character.
QChar charOfKeyword(Kw kw);

class Reader {
public:
    Reader(ByteSource& in, model::Document& out, const ReadOptions& options)
        : tok_(in), doc_(out), builder_(out), options_(options) {
        states_.reserve(64);
        states_.push_back(baseState());
    }

    ReadResult run();

private:
    GroupState baseState() const {
        GroupState s;
        s.cf = plainFormat();
        s.codePage = docCodePage_;
        return s;
    }
    CharFormat plainFormat() const {
        CharFormat cf;
        cf.height = 240;
        cf.face = QStringLiteral("Times New Roman");
        auto it = fonts_.constFind(defaultFont_);
        if (it != fonts_.constEnd()) {
            cf.face = it->name;
            cf.charSet = it->charset;
            cf.pitchAndFamily = it->pitchAndFamily;
        }
        return cf;
    }
    GroupState& st() { return states_.back(); }

    void open();
    void close();
    void word(const Token& t);
    void symbol(char c);
    void text(std::string_view bytes);
    void hexByte(uint8_t b);

    // Text of the body.
    void addBytes(std::string_view bytes);
    void decodePending();
    void put(QChar c);
    void put(QStringView s);
    void flushBody();
    void materialize();
    CharFormatId formatId();
    void endParagraph();
    void endRow();
    void insertObject(model::ObjectRef object);
    void beforeContent();

    // Text of the other destinations.
    QString* textTarget();
    void fontName(std::string_view bytes);
    void decodeFontName();
    void colorText(std::string_view bytes);
    void infoToken(const Token& t);

    void setDest(Dest d) { st().dest = d; }
    void charWord(Kw kw, const Token& t);
    void paraWord(Kw kw, const Token& t);
    ParaFormat resolvedParagraph();
    void applyPn(GroupState& target);
    void fontSelected(int number);
    void finishGroup(const GroupState& closed, GroupState& parent);

    Tokenizer tok_;
    model::Document& doc_;
    model::DocumentBuilder builder_;
    ReadOptions options_;
    CodePageDecoder decoder_;
    std::vector<GroupState> states_;
    int overflowDepth_ = 0;
    bool star_ = false;
    int skipFallback_ = 0;

    int docCodePage_ = 1252;
    int defaultFont_ = -1;
    QHash<int, FontInfo> fonts_;
    int currentFont_ = -1;
    QByteArray fontNameBytes_;
    QString fontNameText_;
    std::vector<std::pair<bool, COLORREF>> colors_; // (automatic, value)
    int red_ = -1, green_ = -1, blue_ = -1;
    QHash<int, StyleInfo> styles_;
    int styleNumber_ = 0;
    bool paraStyle_ = true;
    QByteArray styleName_;
    QByteArray info_;

    QByteArray pendingBytes_;
    int pendingCodePage_ = 1252;
    QString body_;
    CharFormatId bodyFormat_ = 0;
    bool pendingPar_ = false;
    ParaFormatId pendingParFormat_ = 0;
    CharFormatId pendingMarkFormat_ = 0;
    bool pageBreak_ = false;

    bool inRow_ = false;
    int paraTabs_ = 0; // tabs in the paragraph being read
    bool cellSep_ = false;
    CharFormatId cellSepFormat_ = 0;
    std::vector<int32_t> cellEdges_;
    std::vector<int32_t> rowEdges_;

    int tabKind_ = 0;
    int tabLeader_ = 0;
    int slValue_ = 0;
    bool slSeen_ = false;

    std::vector<FieldInfo> fields_;
    int footnotes_ = 0;

    // Numbering in the old form, gathered while its group is open.
    ParaFormat pn_;
    QString pnBefore_, pnAfter_;
    int pnType_ = 0;
    bool pnNoNumber_ = false; // a paragraph that continues a list without a number

    // Lists in the newer form.
    QHash<int, std::vector<ListLevelInfo>> lists_;
    std::vector<ListLevelInfo> listLevels_;
    ListLevelInfo level_;
    int listId_ = 0;
    QHash<int, int> overrides_;
    int overrideList_ = 0, overrideLs_ = 0;
    QString levelText_;

    std::vector<PictBuilder> picts_;
    std::vector<std::shared_ptr<model::OleObjectData>> objects_;
    PictBuilder objectData_; // collects the data of the object being read
    QString objText_;
};

} // namespace richedit::rtf::detail
