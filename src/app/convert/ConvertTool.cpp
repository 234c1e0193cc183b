#include "app/convert/ConvertTool.h"

#include "engine/model/Paragraph.h"
#include "engine/surface/DeviceContext.h"
#include "engine/surface/RichEditEngine.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>
#include <cstring>

namespace quillex {

using namespace richedit;

namespace {

constexpr auto kProgram = "quillex-convert";

// Stream callback answers of our own, kept in EDITSTREAM::dwError when a block fails.
constexpr uint32_t kReadFault = 1;
constexpr uint32_t kWriteFault = 2;

// The input file as the engine's stream callback reads it. A read can be started again from
// the first byte, so that input the engine refuses as Rich Text Format is read once more as
// plain text: a seekable file seeks back; for a pipe the bytes already handed over are kept
// (up to kReplayLimit) and handed over again first.
class InputFile {
public:
    explicit InputFile(const QString& path) : file_(path) {}
    bool open() {
        if (!file_.open(QIODevice::ReadOnly))
            return false;
        keep_ = file_.isSequential();
        return true;
    }
    QString errorString() const { return file_.errorString(); }

    // Hands the engine the next block; answers the callback's result.
    uint32_t read(uint8_t* buffer, int32_t size, int32_t& transferred) {
        transferred = 0;
        if (replayAt_ < kept_.size()) {
            const auto n = int32_t(std::min<qsizetype>(size, kept_.size() - replayAt_));
            std::memcpy(buffer, kept_.constData() + replayAt_, size_t(n));
            replayAt_ += n;
            transferred = n;
            return 0;
        }
        const qint64 n = file_.read(reinterpret_cast<char*>(buffer), size);
        if (n < 0)
            return kReadFault;
        transferred = int32_t(n);
        if (keep_) {
            if (kept_.size() + n <= kReplayLimit)
                kept_.append(reinterpret_cast<const char*>(buffer), qsizetype(n));
            else
                overflowed_ = true;
        }
        return 0;
    }

    // Starts again from the first byte; false when that is no longer possible.
    bool rewind() {
        keep_ = false;
        if (!file_.isSequential())
            return file_.seek(0);
        replayAt_ = 0;
        return !overflowed_;
    }

private:
    static constexpr qsizetype kReplayLimit = qsizetype(1) << 20;
    QFile file_;
    bool keep_ = false;
    bool overflowed_ = false;
    QByteArray kept_;
    qsizetype replayAt_ = 0;
};

uint32_t readBlock(uintptr_t cookie, uint8_t* buffer, int32_t size, int32_t& transferred) {
    return reinterpret_cast<InputFile*>(cookie)->read(buffer, size, transferred);
}

// Writes the engine's block to the QSaveFile named by the cookie.
uint32_t writeBlock(uintptr_t cookie, uint8_t* buffer, int32_t size, int32_t& transferred) {
    auto* file = reinterpret_cast<QSaveFile*>(cookie);
    const qint64 n = file->write(reinterpret_cast<const char*>(buffer), size);
    transferred = n > 0 ? int32_t(n) : 0;
    return n == size ? 0 : kWriteFault;
}

uint32_t streamFormat(FileFormat format) {
    return format == FileFormat::Rtf ? SF_RTF : SF_TEXT;
}

QString quoted(const QString& path) {
    return u'\'' + path + u'\'';
}

QString formatName(FileFormat format) {
    if (format == FileFormat::Pdf)
        return QStringLiteral("PDF");
    return format == FileFormat::Rtf ? QStringLiteral("Rich Text Format")
                                     : QStringLiteral("plain text");
}

// PDF pages are drawn at this resolution: one device unit per twip.
constexpr int kPdfResolution = 1440;

// Formats the document's pages one after the other and hands each to draw(page, start), which
// draws it and answers the first character of the next page.
template <class Draw> int forEachPage(const model::Document& doc, Draw&& draw) {
    model::CharPos at(0);
    int pages = 0;
    do {
        const model::CharPos next = draw(pages, at);
        ++pages;
        if (next <= at)
            break;
        at = next;
    } while (at < doc.end());
    return pages;
}

} // namespace

QString ConvertTool::helpText() {
    return QStringLiteral(
        "Usage: quillex-convert [--from FORMAT] [--to FORMAT] [--stats] [--page SIZE]\n"
        "                       [--margins INCHES] [--png DIR] [--dpi N] INPUT [OUTPUT]\n"
        "\n"
        "Converts the document INPUT into OUTPUT and prints document statistics.\n"
        "\n"
        "The formats follow the file extensions: .txt is plain text, .rtf is Rich Text\n"
        "Format, .pdf is PDF (written only). FORMAT names one of them: text (or txt),\n"
        "rtf, pdf.\n"
        "\n"
        "Options:\n"
        "  --from FORMAT  read INPUT in FORMAT whatever its extension\n"
        "  --to FORMAT    write OUTPUT in FORMAT whatever its extension\n"
        "  --stats        print the counts of the document on standard output, as the\n"
        "                 lines \"Paragraphs: N\", \"Words: N\" and \"Characters: N\":\n"
        "                   Paragraphs  paragraphs (lines of a text file) holding at\n"
        "                               least one character that is not white space;\n"
        "                               empty and blank lines are not counted\n"
        "                   Words       runs of characters that are not white space\n"
        "                   Characters  Unicode characters of the text, spaces, tabs\n"
        "                               and line breaks included; the paragraph ends\n"
        "                               (the line ends of a text file) are not counted\n"
        "                 Without OUTPUT only the counts are printed.\n"
        "  --page SIZE    the page size of PDF and page images: letter (the default)\n"
        "                 or a4\n"
        "  --margins INCHES\n"
        "                 the margin on every side of the page, in inches (default 1)\n"
        "  --png DIR      also draw every page as a PNG image into the folder DIR\n"
        "                 (created when missing), named page-001.png, page-002.png, ...;\n"
        "                 OUTPUT may then be left out\n"
        "  --dpi N        the resolution of the page images, in dots per inch\n"
        "                 (default 150)\n"
        "  -h, --help     show this help and exit\n"
        "  --version      show the version and exit\n"
        "\n"
        "Plain text is read as UTF-8; a UTF-8 or UTF-16 byte-order mark is honoured and\n"
        "text that is not valid UTF-8 is read as Windows-1252. Plain text is written as\n"
        "UTF-8 with CR LF line ends. OUTPUT is written to a temporary file in its folder\n"
        "that replaces OUTPUT only once it has been written completely.\n"
        "\n"
        "Rich Text Format is read with its formatting; plain text OUTPUT keeps only its\n"
        "text. Whatever RTF holds besides the text (font and colour tables, styles,\n"
        "document information, pictures) is not counted by --stats. A damaged or\n"
        "truncated RTF file is converted as far as it can be read. An INPUT read as\n"
        "Rich Text Format that does not begin with an RTF header is read as plain text\n"
        "instead, with a note on standard error. Rich Text Format is written with the\n"
        "Windows-1252 code page and Unicode escapes for the other characters.\n"
        "\n"
        "PDF and page images show the document as it prints: the text is laid out at\n"
        "the width between the margins and broken into pages between lines, with\n"
        "the same line and page breaks at every resolution.\n"
        "\n"
        "Exit status:\n"
        "  0  success\n"
        "  1  the command line is wrong\n"
        "  2  a format is unknown or not supported\n"
        "  3  INPUT could not be read\n"
        "  4  OUTPUT could not be written (an existing OUTPUT is left as it was)\n");
}

bool ConvertTool::drawsPages(const QStringList& arguments) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString a = arguments[i].toLower();
        if (a == u"--png" || a == u"-png" || a.startsWith(u"--png=") || a.startsWith(u"-png=") ||
            a.endsWith(u".pdf") || a == u"--to=pdf" || a == u"-to=pdf" ||
            ((a == u"--to" || a == u"-to") && i + 1 < arguments.size() &&
             arguments[i + 1].toLower() == u"pdf"))
            return true;
    }
    return false;
}

FileFormat ConvertTool::formatFromName(const QString& name) {
    const QString n = name.toLower();
    if (n == u"text" || n == u"txt")
        return FileFormat::Text;
    if (n == u"rtf")
        return FileFormat::Rtf;
    if (n == u"pdf")
        return FileFormat::Pdf;
    return FileFormat::Unknown;
}

FileFormat ConvertTool::formatFromPath(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"txt")
        return FileFormat::Text;
    if (suffix == u"rtf")
        return FileFormat::Rtf;
    if (suffix == u"pdf")
        return FileFormat::Pdf;
    return FileFormat::Unknown;
}

DocumentStats ConvertTool::statsOf(const QString& text) {
    DocumentStats stats;
    bool inWord = false;
    bool paragraphHasText = false;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == QChar(model::kParagraphMark) || c == u'\n') {
            if (paragraphHasText)
                ++stats.paragraphs;
            paragraphHasText = false;
            inWord = false;
            continue;
        }
        // The second half of a surrogate pair belongs to the character already counted.
        if (c.isLowSurrogate() && i > 0 && text[i - 1].isHighSurrogate())
            continue;
        char32_t code = c.unicode();
        if (c.isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate())
            code = QChar::surrogateToUcs4(c, text[i + 1]);
        ++stats.characters;
        if (QChar::isSpace(code)) {
            inWord = false;
        } else {
            if (!inWord)
                ++stats.words;
            inWord = true;
            paragraphHasText = true;
        }
    }
    if (paragraphHasText)
        ++stats.paragraphs;
    return stats;
}

int ConvertTool::fail(ExitCode code, const QString& message) {
    err_ << kProgram << ": " << message << '\n';
    err_.flush();
    return code;
}

void ConvertTool::notice(const QString& message) {
    err_ << kProgram << ": note: " << message << '\n';
    err_.flush();
}

int ConvertTool::load(RichEditEngine& engine, const QString& path, FileFormat format) {
    InputFile file(path);
    if (!file.open())
        return fail(ReadError, "cannot open " + quoted(path) + ": " + file.errorString());
    EDITSTREAM stream;
    stream.dwCookie = reinterpret_cast<uintptr_t>(&file);
    stream.pfnCallback = readBlock;
    engine.EM_STREAMIN(streamFormat(format), stream);
    if (stream.dwError == ESE_REJECTED_FORMAT && format == FileFormat::Rtf) {
        // Not Rich Text Format whatever its name says: rather than refuse the file, the text it
        // holds is read as it is.
        if (!file.rewind())
            return fail(ReadError, "cannot read " + quoted(path) + " again as plain text");
        notice(quoted(path) + " is not Rich Text Format; read as plain text");
        engine.EM_STREAMIN(SF_TEXT, stream);
    }
    if (stream.dwError == ESE_REJECTED_FORMAT)
        return fail(UnsupportedFormat,
                    "the text engine cannot read " + formatName(format) + " in this build");
    if (stream.dwError != 0)
        return fail(ReadError, "cannot read " + quoted(path) + ": " + file.errorString());
    return Success;
}

int ConvertTool::save(RichEditEngine& engine, const QString& path, FileFormat format) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(WriteError, "cannot write " + quoted(path) + ": " + file.errorString());
    EDITSTREAM stream;
    stream.dwCookie = reinterpret_cast<uintptr_t>(&file);
    stream.pfnCallback = writeBlock;
    engine.EM_STREAMOUT(streamFormat(format), stream);
    if (stream.dwError != 0) {
        // Nothing replaces the target: the temporary file goes away with the cancelled save.
        file.cancelWriting();
        if (stream.dwError == ESE_REJECTED_FORMAT)
            return fail(UnsupportedFormat,
                        "the text engine cannot write " + formatName(format) + " in this build");
        return fail(WriteError, "cannot write " + quoted(path) + ": " + file.errorString());
    }
    if (!file.commit())
        return fail(WriteError, "cannot write " + quoted(path) + ": " + file.errorString());
    return Success;
}

// Formats and draws the page starting at `at` through the engine; answers where the next begins.
static model::CharPos formatPage(RichEditEngine& engine, DeviceContext& dc, const PageSetup& setup,
                                 model::CharPos at) {
    FORMATRANGE range;
    range.hdc = &dc;
    range.hdcTarget = &dc;
    range.rcPage = {0, 0, setup.widthTwips, setup.heightTwips};
    range.rc = {setup.marginTwips, setup.marginTwips, setup.widthTwips - setup.marginTwips,
                setup.heightTwips - setup.marginTwips};
    range.chrg = {at.v, -1};
    return model::CharPos(engine.EM_FORMATRANGE(true, &range));
}

int ConvertTool::savePdf(RichEditEngine& engine, const QString& path, const PageSetup& setup) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(WriteError, "cannot write " + quoted(path) + ": " + file.errorString());
    const model::Document& doc = engine.document();
    {
        QPdfWriter writer(&file);
        writer.setResolution(kPdfResolution);
        writer.setPageSize(QPageSize(QSizeF(setup.widthTwips / 1440.0, setup.heightTwips / 1440.0),
                                     QPageSize::Inch));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setCreator(QStringLiteral("quillex-convert"));
        QPainter painter;
        if (!painter.begin(&writer)) {
            file.cancelWriting();
            return fail(WriteError, "cannot write " + quoted(path) + ": no PDF device");
        }
        DeviceContext dc(painter);
        forEachPage(doc, [&](int page, model::CharPos at) {
            if (page > 0)
                writer.newPage();
            return formatPage(engine, dc, setup, at);
        });
        engine.EM_FORMATRANGE(false, nullptr);
        painter.end();
    }
    if (!file.commit())
        return fail(WriteError, "cannot write " + quoted(path) + ": " + file.errorString());
    return Success;
}

int ConvertTool::savePages(RichEditEngine& engine, const QString& folder, const PageSetup& setup) {
    if (!QDir().mkpath(folder))
        return fail(WriteError, "cannot create the folder " + quoted(folder));
    const model::Document& doc = engine.document();
    const qreal scale = setup.imageDpi / 1440.0;
    const QSize size(int(std::lround(setup.widthTwips * scale)),
                     int(std::lround(setup.heightTwips * scale)));
    int result = Success;
    forEachPage(doc, [&](int page, model::CharPos at) {
        QImage image(size, QImage::Format_RGB32);
        image.setDotsPerMeterX(int(std::lround(setup.imageDpi / 0.0254)));
        image.setDotsPerMeterY(int(std::lround(setup.imageDpi / 0.0254)));
        image.fill(Qt::white);
        model::CharPos next;
        {
            QPainter painter(&image);
            DeviceContext dc(painter);
            next = formatPage(engine, dc, setup, at);
        }
        const QString name =
            QDir(folder).filePath(QStringLiteral("page-%1.png").arg(page + 1, 3, 10, QChar(u'0')));
        if (result == Success && !image.save(name, "PNG"))
            result = fail(WriteError, "cannot write " + quoted(name));
        return next;
    });
    engine.EM_FORMATRANGE(false, nullptr);
    return result;
}

int ConvertTool::run(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption from(QStringLiteral("from"), QString(), QStringLiteral("FORMAT"));
    const QCommandLineOption to(QStringLiteral("to"), QString(), QStringLiteral("FORMAT"));
    const QCommandLineOption stats(QStringLiteral("stats"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption page(QStringLiteral("page"), QString(), QStringLiteral("SIZE"));
    const QCommandLineOption margins(QStringLiteral("margins"), QString(),
                                     QStringLiteral("INCHES"));
    const QCommandLineOption png(QStringLiteral("png"), QString(), QStringLiteral("DIR"));
    const QCommandLineOption dpi(QStringLiteral("dpi"), QString(), QStringLiteral("N"));
    parser.addOptions({from, to, stats, help, version, page, margins, png, dpi});

    const QString tryHelp = QStringLiteral(" (see --help)");
    if (!parser.parse(arguments))
        return fail(UsageError, parser.errorText() + tryHelp);
    if (parser.isSet(help)) {
        out_ << helpText();
        out_.flush();
        return Success;
    }
    if (parser.isSet(version)) {
        out_ << kProgram << ' ' << QUILLEX_VERSION << '\n';
        out_.flush();
        return Success;
    }

    const QStringList files = parser.positionalArguments();
    if (files.isEmpty())
        return fail(UsageError, "no INPUT file given" + tryHelp);
    if (files.size() > 2)
        return fail(UsageError, "too many files given" + tryHelp);
    const bool wantStats = parser.isSet(stats);
    const bool wantPages = parser.isSet(png);
    if (files.size() == 1 && !wantStats && !wantPages)
        return fail(UsageError, "no OUTPUT file given" + tryHelp);
    PageSetup setup;
    if (parser.isSet(page)) {
        const QString name = parser.value(page).toLower();
        if (name == u"a4") {
            setup.widthTwips = 11906; // 210 by 297 mm
            setup.heightTwips = 16838;
        } else if (name != u"letter") {
            return fail(UsageError, "unknown page size " + quoted(parser.value(page)) +
                                        " (known: letter, a4)" + tryHelp);
        }
    }
    if (parser.isSet(margins)) {
        bool ok = false;
        const double inches = parser.value(margins).toDouble(&ok);
        const int twips = ok ? int(std::lround(inches * 1440)) : -1;
        if (!ok || inches < 0 || 2 * twips >= std::min(setup.widthTwips, setup.heightTwips) - 720)
            return fail(UsageError, "--margins needs inches that leave room on the page, not " +
                                        quoted(parser.value(margins)) + tryHelp);
        setup.marginTwips = twips;
    }
    if (parser.isSet(dpi)) {
        bool ok = false;
        setup.imageDpi = parser.value(dpi).toInt(&ok);
        if (!ok || setup.imageDpi < 10 || setup.imageDpi > 1200)
            return fail(UsageError, "--dpi needs a number from 10 to 1200, not " +
                                        quoted(parser.value(dpi)) + tryHelp);
    }
    if (files.size() == 1 && parser.isSet(to))
        return fail(UsageError, "--to needs an OUTPUT file" + tryHelp);

    // Decides both formats before touching any file.
    const QString input = files[0];
    FileFormat inFormat = formatFromPath(input);
    if (parser.isSet(from)) {
        inFormat = formatFromName(parser.value(from));
        if (inFormat == FileFormat::Unknown)
            return fail(UnsupportedFormat,
                        "unknown format " + quoted(parser.value(from)) + " (known: text, rtf)");
    }
    if (inFormat == FileFormat::Pdf) {
        return fail(UnsupportedFormat, "cannot read PDF; INPUT must be text or rtf");
    } else if (inFormat == FileFormat::Unknown) {
        return fail(UnsupportedFormat, "cannot tell the format of " + quoted(input) +
                                           " from its extension; name it with --from");
    }
    const QString output = files.size() > 1 ? files[1] : QString();
    FileFormat outFormat = output.isEmpty() ? FileFormat::Unknown : formatFromPath(output);
    if (parser.isSet(to)) {
        outFormat = formatFromName(parser.value(to));
        if (outFormat == FileFormat::Unknown)
            return fail(UnsupportedFormat,
                        "unknown format " + quoted(parser.value(to)) + " (known: text, rtf, pdf)");
    } else if (!output.isEmpty() && outFormat == FileFormat::Unknown) {
        return fail(UnsupportedFormat, "cannot tell the format of " + quoted(output) +
                                           " from its extension; name it with --to");
    }

    // Pages are drawn with Qt's fonts and painting, which need a GUI application (the program
    // starts one on the offscreen platform).
    if ((outFormat == FileFormat::Pdf || wantPages) &&
        !qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return fail(UnsupportedFormat, "PDF and page images need a QGuiApplication");

    RichEditEngine engine;
    if (const int rc = load(engine, input, inFormat); rc != Success)
        return rc;
    if (!output.isEmpty()) {
        const int rc = outFormat == FileFormat::Pdf ? savePdf(engine, output, setup)
                                                    : save(engine, output, outFormat);
        if (rc != Success)
            return rc;
    }
    if (wantPages)
        if (const int rc = savePages(engine, parser.value(png), setup); rc != Success)
            return rc;
    if (wantStats) {
        const DocumentStats s = statsOf(engine.WM_GETTEXT());
        out_ << "Paragraphs: " << s.paragraphs << '\n'
             << "Words: " << s.words << '\n'
             << "Characters: " << s.characters << '\n';
        out_.flush();
    }
    return Success;
}

} // namespace quillex
