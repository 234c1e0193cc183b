#include "resources/TovraStrings.h"

#include <array>

namespace {

struct TStringEntry {
    int Id;
    const char* Text;
};

// clang-format off
constexpr TStringEntry kEntries[] = {
    {sidCharmapFont, "Font"},
    {sidCharmapCharSet, "CharSet"},
    {sidCharmapCaption, "Character map"},
    {sidSearchNotFound, "Search string not found!"},
    {sidReplacedCount, "%d occurences were replaced."},
    {sidStatisticsCaption, "Text statistics"},
    {sidStatisticsLabel, "Statistics :"},
    {sidStatisticsPages, "Pages"},
    {sidStatisticsWords, "Words"},
    {sidStatisticsCharsNoSpaces, "Characters (without spaces)"},
    {sidStatisticsCharsWithSpaces, "Characters (with spaces)"},
    {sidStatisticsParagraphs, "Paragraphs"},
    {sidStatisticsLines, "Lines"},
    {sidObjectProperties, "%s Properties"},
    {sidActionPreview, "Preview..."},
    {sidActionInsertObject, "Insert Object..."},
    {sidActionCopy, "Copy"},
    {sidActionCut, "Cut"},
    {sidActionPaste, "Paste"},
    {sidActionSelectAll, "Select All"},
    {sidActionDelete, "Delete"},
    {sidActionAlign, "Align"},
    {sidActionIndent, "Increase indent"},
    {sidActionUnindent, "Decrease indent"},
    {sidActionNumbering, "Numbering"},
    {sidActionFind, "Find..."},
    {sidActionReplace, "Replace..."},
    {sidActionInsertChar, "Insert Char..."},
    {sidActionInsertDateTime, "Date and Time..."},
    {sidActionStatistics, "Statistics..."},
    {sidLinkTabURL, "URL"},
    {sidLinkCaption, "Link"},
    {sidActionNew, "New file"},
    {sidActionOpen, "Open a file..."},
    {sidActionSave, "Save"},
    {sidActionSaveAs, "Save As..."},
    {sidActionParagraph, "Paragraph..."},
    {sidActionFont, "Font..."},
    {sidActionBold, "Bold"},
    {sidActionItalic, "Italic"},
    {sidActionUnderline, "Underline"},
    {sidActionSubscript, "Subscript"},
    {sidActionSuperscript, "Superscript"},
    {sidActionUndo, "Undo"},
    {sidActionRedo, "Redo"},
    {sidActionPrint, "Print"},
    {sidParaJustify, "Justify:"},
    {sidParaJustifyItems, "Left,Center,Right"},
    {sidParaMargins, "Margins"},
    {sidParaLeft, "left"},
    {sidParaRight, "right"},
    {sidParaFirstLine, "first line:"},
    {sidParaIndentAt, "at:"},
    {sidParaIndentItems, "(none),indent,unindent"},
    {sidParaIntervals, "Intervals"},
    {sidParaBefore, "before:"},
    {sidParaAfter, "after:"},
    {sidParaLineSpacing, "line spacing:"},
    {sidParaLineSpacingItems, "single,one-and-half,double,minimum,exactly,multiplier"},
    {sidParaValue, "value:"},
    {sidParaTabstops, "&Tabstops"},
    {sidTabsSet, "Set"},
    {sidUnitPoints, "Points"},
    {sidUnitInches, "Inches x 100"},
    {sidUnitMillimeters, "Millimeters"},
    {sidOK, "OK"},
    {sidCancel, "Cancel"},
    {sidClose, "Close"},
    {sidHelp, "&Help"},
    {sidUntitledDocument, "document"},
    {sidDateTimeFormats, "Available formats:"},
    {sidDateTimeCaption, "Date and Time"},
    {sidNew, "New"},
    {sidDelete, "Delete"},
    {sidDeleteAll, "Delete All"},
    {sidSelect, "Select"},
    {sidBookmarksCaption, "BookMarks"},
    {sidParagraphCaption, "Paragraph"},
};
// clang-format on

constexpr std::size_t kTableSize = sidLast - sidFirst + 1;

// Texts indexed by number - sidFirst; numbers without a text hold nullptr.
constexpr std::array<const char*, kTableSize> BuildTable() {
    std::array<const char*, kTableSize> table{};
    for (const TStringEntry& entry : kEntries)
        table[static_cast<std::size_t>(entry.Id - sidFirst)] = entry.Text;
    return table;
}

constexpr std::array<const char*, kTableSize> kTable = BuildTable();

// Every entry lies in the table's range and no number is given twice.
constexpr bool EntriesAreValid() {
    std::array<bool, kTableSize> seen{};
    for (const TStringEntry& entry : kEntries) {
        if (entry.Id < sidFirst || entry.Id > sidLast)
            return false;
        const auto index = static_cast<std::size_t>(entry.Id - sidFirst);
        if (seen[index])
            return false;
        seen[index] = true;
    }
    return true;
}
static_assert(EntriesAreValid(), "string table entries must be unique and within range");

} // namespace

QString LoadStr(int id) {
    if (id < sidFirst || id > sidLast)
        return QString();
    const char* text = kTable[static_cast<std::size_t>(id - sidFirst)];
    return text ? QString::fromUtf8(text) : QString();
}
