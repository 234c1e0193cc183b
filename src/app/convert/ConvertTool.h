#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace richedit {
class RichEditEngine;
}

namespace quillex {

// The document formats the converter knows by name.
enum class FileFormat { Unknown, Text, Rtf, Pdf };

// Counts of a document as --stats prints them.
// How pages are laid out for PDF and page images.
struct PageSetup {
    int widthTwips = 12240; // Letter: 8.5 by 11 inches
    int heightTwips = 15840;
    int marginTwips = 1440;
    int imageDpi = 150;
};

struct DocumentStats {
    qint64 paragraphs = 0; // paragraphs holding something other than white space
    qint64 words = 0;      // runs of characters that are not white space
    qint64 characters = 0; // code points of the text, paragraph marks left out
    friend bool operator==(const DocumentStats&, const DocumentStats&) = default;
};

// The command-line converter: loads a document into a text engine, writes it in another
// format and prints its statistics. It writes results to out and one-line messages to err,
// so that it runs inside a test as well as behind main().
class ConvertTool {
public:
    enum ExitCode {
        Success = 0,
        UsageError = 1,        // the command line is wrong
        UnsupportedFormat = 2, // a format that is unknown or not supported by this build
        ReadError = 3,         // the input could not be read
        WriteError = 4,        // the output could not be written; an existing file is kept
    };

    ConvertTool(QTextStream& out, QTextStream& err) : out_(out), err_(err) {}

    // Runs one command line; arguments[0] is the program's name. Answers the exit status.
    int run(const QStringList& arguments);

    static QString helpText();
    // Whether a command line asks for pages (PDF or page images), which need a QGuiApplication.
    static bool drawsPages(const QStringList& arguments);
    static FileFormat formatFromName(const QString& name);
    static FileFormat formatFromPath(const QString& path);
    static DocumentStats statsOf(const QString& text);

private:
    int fail(ExitCode code, const QString& message);
    // A one-line remark on standard error about a conversion that goes on.
    void notice(const QString& message);
    int load(richedit::RichEditEngine& engine, const QString& path, FileFormat format);
    int save(richedit::RichEditEngine& engine, const QString& path, FileFormat format);
    int savePdf(richedit::RichEditEngine& engine, const QString& path, const PageSetup& setup);
    int savePages(richedit::RichEditEngine& engine, const QString& folder, const PageSetup& setup);

    QTextStream& out_;
    QTextStream& err_;
};

} // namespace quillex
