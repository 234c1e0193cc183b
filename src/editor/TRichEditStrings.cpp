// The editor's lines: line access through the engine's line requests, and the stream and file
// operations that move the whole document.

#include "editor/TRichEditStrings.h"

#include "editor/TTovraCustomRichEdit.h"
#include "editor/TTovraRichEditWindow.h"
#include "engine/surface/RichEditEngine.h"
#include "framework/PropertyStore.h"
#include "framework/TStringList.h"
#include "framework/TovraException.h"

#include <QBuffer>
#include <QFile>
#include <QSaveFile>

#include <cstring>
#include <vector>

using namespace richedit;

namespace {

// EM_GETLINE's buffer: longer lines come back cut to this many characters.
constexpr int32_t kLineBufferSize = 4096;
// The text limit of a file load: the engine's largest.
constexpr int32_t kFileTextLimit = 0x7FFFFFF0;

// What the engine hands back to the stream callbacks as the cookie of a load or save.
struct StreamContext {
    TTovraConversion* Converter;
    QIODevice* Stream;
    // A plain-text load makes every line break CR LF. Rich Text Format passes unchanged: its
    // reader ignores line breaks anyway, and its binary data (\bin) must keep every byte.
    bool NormaliseLineBreaks = false;
    // A load's CR that ended the previous block: its LF, if any, starts the next one.
    bool PendingCR = false;
};

// Copies n raw bytes to out with every line break made CR LF: LF becomes CR LF; CR becomes
// CR LF and an LF directly after it is skipped. Every other byte, a zero byte too, is copied
// unchanged, so that nothing the stream holds is lost. Answers the number of bytes written, at
// most 2 * n.
int32_t NormaliseLineBreaks(const char* raw, int32_t n, uint8_t* out) {
    int32_t o = 0;
    for (int32_t i = 0; i < n; ++i) {
        const char c = raw[i];
        if (c == '\n' || c == '\r') {
            out[o++] = '\r';
            out[o++] = '\n';
            if (c == '\r' && i + 1 < n && raw[i + 1] == '\n')
                ++i;
        } else {
            out[o++] = static_cast<uint8_t>(c);
        }
    }
    return o;
}

// The load callback. For plain text it reads through the converter at most half the engine's
// buffer per block, since each raw byte gives at most two. A CR that ends a block is held back and
// put in front of the next block, so that a CR LF split between two blocks stays one line break and
// a lone CR at a block's end is not lost; at the end of the input it is written as it is.
uint32_t LoadCallback(uintptr_t cookie, uint8_t* buffer, int32_t cb, int32_t& pcb) {
    pcb = 0;
    auto& context = *reinterpret_cast<StreamContext*>(cookie);
    if (!context.NormaliseLineBreaks) {
        try {
            if (context.Converter)
                pcb = context.Converter->ConvertReadStream(*context.Stream,
                                                           reinterpret_cast<char*>(buffer), cb);
        } catch (...) {
            pcb = 0;
            return 1;
        }
        if (pcb < 0) {
            pcb = 0;
            return 1;
        }
        pcb = std::min(pcb, cb);
        return 0;
    }
    const int32_t half = cb / 2;
    if (half < 2)
        return 1; // no room for a held-back CR and a new byte
    try {
        std::vector<char> raw(static_cast<size_t>(half));
        // A block whose only byte is a CR to hold back delivers nothing, and delivering nothing
        // would end the engine's reading: read on until a block delivers bytes or the input
        // ends.
        bool more = true;
        while (pcb == 0 && more) {
            int32_t n = 0;
            if (context.PendingCR)
                raw[size_t(n++)] = '\r';
            int32_t got = 0;
            if (context.Converter)
                got =
                    context.Converter->ConvertReadStream(*context.Stream, raw.data() + n, half - n);
            if (got < 0)
                return 1;
            n += std::min(got, half - n);
            more = got > 0;
            context.PendingCR = more && raw[size_t(n - 1)] == '\r';
            if (context.PendingCR)
                --n;
            pcb = NormaliseLineBreaks(raw.data(), n, buffer);
        }
        return 0;
    } catch (...) {
        pcb = 0;
        return 1;
    }
}

// The save callback: every byte the engine produces goes through the converter.
uint32_t SaveCallback(uintptr_t cookie, uint8_t* buffer, int32_t cb, int32_t& pcb) {
    pcb = 0;
    auto& context = *reinterpret_cast<StreamContext*>(cookie);
    try {
        if (context.Converter)
            pcb = context.Converter->ConvertWriteStream(*context.Stream,
                                                        reinterpret_cast<const char*>(buffer), cb);
        return 0;
    } catch (...) {
        pcb = 0;
        return 2;
    }
}

bool SameLines(const TStrings& a, const TStrings& b) {
    const int32_t count = a.Count();
    if (count != b.Count())
        return false;
    for (int32_t i = 0; i < count; ++i) {
        if (a.Get(i) != b.Get(i))
            return false;
    }
    return true;
}

const QString kStringsProperty = QStringLiteral("Strings");

} // namespace

TRichEditStrings::TRichEditStrings(TTovraCustomRichEdit* RichEdit) : FRichEdit(RichEdit) {}

TRichEditStrings::~TRichEditStrings() = default;

RichEditEngine& TRichEditStrings::engine() const {
    FRichEdit->HandleNeeded();
    return *FRichEdit->Engine();
}

// ---- Lines ----

QString TRichEditStrings::Get(int32_t Index) const {
    if (Index < 0)
        return {};
    QString line;
    engine().EM_GETLINE(Index, line, kLineBufferSize);
    if (line.endsWith(u"\r\n"))
        line.chop(2);
    else if (line.endsWith(u'\r'))
        line.chop(1);
    return line;
}

int32_t TRichEditStrings::GetCount() const {
    RichEditEngine& e = engine();
    int32_t count = e.EM_GETLINECOUNT();
    if (count > 0 && e.EM_LINELENGTH(e.EM_LINEINDEX(count - 1)) == 0)
        --count;
    return count;
}

void TRichEditStrings::Put(int32_t Index, const QString& S) {
    if (Index < 0)
        return;
    RichEditEngine& e = engine();
    const int32_t start = e.EM_LINEINDEX(Index);
    if (start < 0)
        return;
    e.EM_EXSETSEL({start, start + e.EM_LINELENGTH(start)});
    e.EM_REPLACESEL(false, S);
}

void TRichEditStrings::Insert(int32_t Index, const QString& S) {
    if (Index < 0)
        return;
    RichEditEngine& e = engine();
    int32_t at = e.EM_LINEINDEX(Index);
    QString text;
    if (at >= 0) {
        text = S + LineBreak();
    } else {
        const int32_t previous = Index > 0 ? e.EM_LINEINDEX(Index - 1) : -1;
        if (previous < 0)
            return;
        const int32_t length = e.EM_LINELENGTH(previous);
        if (length == 0)
            return;
        at = previous + length;
        text = LineBreak() + S;
    }
    e.EM_EXSETSEL({at, at});
    e.EM_REPLACESEL(false, text);
}

void TRichEditStrings::Delete(int32_t Index) {
    if (Index < 0)
        return;
    RichEditEngine& e = engine();
    const int32_t start = e.EM_LINEINDEX(Index);
    if (start < 0)
        return;
    int32_t end = e.EM_LINEINDEX(Index + 1);
    if (end < 0)
        end = start + e.EM_LINELENGTH(start);
    e.EM_EXSETSEL({start, end});
    e.EM_REPLACESEL(false, QString());
}

void TRichEditStrings::Clear() {
    FRichEdit->Clear();
}

void TRichEditStrings::AddStrings(const TStrings* Strings) {
    // The document is replaced as a whole; the selection changes it makes on the way are no
    // news for the application.
    struct RestoreHandler {
        TTovraCustomRichEdit* Editor;
        TNotifyEvent Handler;
        ~RestoreHandler() { Editor->SetOnSelectionChange(std::move(Handler)); }
    } restore{FRichEdit, FRichEdit->OnSelectionChange()};
    FRichEdit->SetOnSelectionChange(nullptr);
    if (Strings == nullptr) {
        Clear();
        return;
    }
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    Strings->SaveToStream(buffer);
    buffer.seek(0);
    LoadFromStream(buffer);
}

void TRichEditStrings::SetTextStr(const QString& Value) {
    // One change notice for the whole text is the update bracket's; the single insertions tell
    // nothing.
    struct RestoreChangeEvents {
        const TRichEditStrings* Lines;
        ~RestoreChangeEvents() {
            RichEditEngine& e = Lines->engine();
            e.EM_SETEVENTMASK(e.EM_GETEVENTMASK() | ENM_CHANGE);
        }
    };
    RichEditEngine& e = engine();
    e.EM_SETEVENTMASK(e.EM_GETEVENTMASK() & ~ENM_CHANGE);
    RestoreChangeEvents restore{this};
    TStrings::SetTextStr(Value);
}

void TRichEditStrings::SetUpdateState(bool Updating) {
    TTovraRichEditWindow* window = FRichEdit->EngineWindow();
    if (FRichEdit->isVisible() && window != nullptr)
        window->setUpdatesEnabled(!Updating);
    if (!Updating) {
        FRichEdit->update();
        if (window != nullptr)
            window->viewport()->update();
        emit FRichEdit->TextChanged();
    }
}

// ---- Streams ----

void TRichEditStrings::LoadFromStream(QIODevice& Stream) {
    FRichEdit->HandleNeeded();
    FRichEdit->BeforeStreamLoad(Stream);
    std::unique_ptr<TTovraConversion> temporary;
    TTovraConversion* converter = FConverter.get();
    if (converter == nullptr) {
        temporary = FRichEdit->DefaultConverter().Create();
        converter = temporary.get();
    }
    StreamContext context{converter, &Stream, FPlainText};
    EDITSTREAM stream;
    stream.dwCookie = reinterpret_cast<uintptr_t>(&context);
    stream.pfnCallback = LoadCallback;
    const qint64 position = Stream.pos();
    engine().EM_STREAMIN(FPlainText ? SF_TEXT : SF_RTF, stream);
    if (stream.dwError != 0) {
        // Input the engine rejects in one format is tried once in the other; whatever that
        // gives stays.
        Stream.seek(position);
        context.NormaliseLineBreaks = !FPlainText;
        context.PendingCR = false;
        engine().EM_STREAMIN(FPlainText ? SF_RTF : SF_TEXT, stream);
    }
}

void TRichEditStrings::SaveToStream(QIODevice& Stream) const {
    FRichEdit->HandleNeeded();
    FRichEdit->BeforeStreamSave(Stream);
    std::unique_ptr<TTovraConversion> temporary;
    TTovraConversion* converter = FConverter.get();
    if (converter == nullptr) {
        temporary = FRichEdit->DefaultConverter().Create();
        converter = temporary.get();
    }
    StreamContext context{converter, &Stream};
    EDITSTREAM stream;
    stream.dwCookie = reinterpret_cast<uintptr_t>(&context);
    stream.pfnCallback = SaveCallback;
    engine().EM_STREAMOUT(FPlainText ? SF_TEXT : SF_RTF, stream);
    temporary.reset();
    if (stream.dwError != 0)
        throw EOutOfResources(QStringLiteral("Failed to Save Stream"));
    FRichEdit->AfterStreamSave();
}

void TRichEditStrings::LoadFromFile(const QString& FileName) {
    engine().EM_EXLIMITTEXT(kFileTextLimit);
    const TTovraConversionFormat& format = FindConversionFormat(FileName);
    if (!FConverter)
        FConverter = format.ConversionClass.Create();
    try {
        QFile file(FileName);
        if (!file.open(QIODevice::ReadOnly))
            throw EFOpenError(FileName, file.errorString());
        LoadFromStream(file);
    } catch (...) {
        FConverter.reset();
        throw;
    }
}

void TRichEditStrings::SaveToFile(const QString& FileName) const {
    const TTovraConversionFormat& format = FindConversionFormat(FileName);
    if (!FConverter)
        FConverter = format.ConversionClass.Create();
    try {
        // The document goes into a temporary file beside FileName, which takes FileName's place
        // only when everything is written; a save that fails removes it and leaves the old
        // file as it was.
        QSaveFile file(FileName);
        if (!file.open(QIODevice::WriteOnly))
            throw EFCreateError(FileName, file.errorString());
        SaveToStream(file);
        if (!file.commit())
            throw EFCreateError(FileName, file.errorString());
    } catch (...) {
        FConverter.reset();
        throw;
    }
    // Once more now that the file is closed: a file save runs the after-save step twice.
    FRichEdit->AfterStreamSave();
}

// ---- The stored form ----

void TRichEditStrings::WriteProperties(TWriter& Writer) const {
    bool hasData = false;
    if (Writer.Ancestor() != nullptr) {
        const auto* ancestor = qobject_cast<const TStrings*>(Writer.Ancestor());
        hasData = ancestor == nullptr || !SameLines(*ancestor, *this);
    } else {
        hasData = Count() > 0;
    }
    if (!hasData)
        return;
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    SaveToStream(buffer);
    buffer.seek(0);
    TStringList lines;
    lines.LoadFromStream(buffer);
    QStringList strings;
    for (int32_t i = 0; i < lines.Count(); ++i)
        strings << lines.Get(i);
    Writer.WriteStrings(kStringsProperty, strings);
}

void TRichEditStrings::ReadProperties(const TReader& Reader) {
    const std::optional<QStringList> strings = Reader.ReadStrings(kStringsProperty);
    if (!strings)
        return;
    TStringList lines;
    for (const QString& line : *strings)
        lines.Add(line);
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    lines.SaveToStream(buffer);
    buffer.seek(0);
    LoadFromStream(buffer);
}
