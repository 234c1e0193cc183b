#pragma once

#include <QString>

// The system's string table: every user-visible text of the components has a fixed number from
// 65040 to 65119. LoadStr answers the text of a number, or an empty string for a number that the
// table does not hold.

inline constexpr int sidFirst = 65040;
inline constexpr int sidLast = 65119;

// Character map dialog
inline constexpr int sidCharmapFont = 65040;    // "Font"
inline constexpr int sidCharmapCharSet = 65041; // "CharSet"
inline constexpr int sidCharmapCaption = 65042; // "Character map"

// Find and replace messages
inline constexpr int sidSearchNotFound = 65043; // "Search string not found!"
inline constexpr int sidReplacedCount = 65044;  // "%d occurences were replaced."

// Statistics dialog
inline constexpr int sidStatisticsCaption = 65045;         // "Text statistics"
inline constexpr int sidStatisticsLabel = 65046;           // "Statistics :"
inline constexpr int sidStatisticsPages = 65047;           // "Pages"
inline constexpr int sidStatisticsWords = 65048;           // "Words"
inline constexpr int sidStatisticsCharsNoSpaces = 65049;   // "Characters (without spaces)"
inline constexpr int sidStatisticsCharsWithSpaces = 65050; // "Characters (with spaces)"
inline constexpr int sidStatisticsParagraphs = 65051;      // "Paragraphs"
inline constexpr int sidStatisticsLines = 65052;           // "Lines"

// Object properties sheet caption, formatted with the object's full user type name
inline constexpr int sidObjectProperties = 65053; // "%s Properties"

// Editor action captions
inline constexpr int sidActionPreview = 65056;        // "Preview..."
inline constexpr int sidActionInsertObject = 65057;   // "Insert Object..."
inline constexpr int sidActionCopy = 65058;           // "Copy"
inline constexpr int sidActionCut = 65059;            // "Cut"
inline constexpr int sidActionPaste = 65060;          // "Paste"
inline constexpr int sidActionSelectAll = 65061;      // "Select All"
inline constexpr int sidActionDelete = 65062;         // "Delete"
inline constexpr int sidActionAlign = 65063;          // "Align"
inline constexpr int sidActionIndent = 65064;         // "Increase indent"
inline constexpr int sidActionUnindent = 65065;       // "Decrease indent"
inline constexpr int sidActionNumbering = 65066;      // "Numbering"
inline constexpr int sidActionFind = 65067;           // "Find..."
inline constexpr int sidActionReplace = 65068;        // "Replace..."
inline constexpr int sidActionInsertChar = 65069;     // "Insert Char..."
inline constexpr int sidActionInsertDateTime = 65070; // "Date and Time..."
inline constexpr int sidActionStatistics = 65071;     // "Statistics..."

// Link dialog
inline constexpr int sidLinkTabURL = 65072;  // "URL"
inline constexpr int sidLinkCaption = 65073; // "Link" (also the internal-link page)

// File and formatting action captions
inline constexpr int sidActionNew = 65074;         // "New file"
inline constexpr int sidActionOpen = 65075;        // "Open a file..."
inline constexpr int sidActionSave = 65076;        // "Save"
inline constexpr int sidActionSaveAs = 65077;      // "Save As..."
inline constexpr int sidActionParagraph = 65078;   // "Paragraph..."
inline constexpr int sidActionFont = 65079;        // "Font..."
inline constexpr int sidActionBold = 65080;        // "Bold"
inline constexpr int sidActionItalic = 65081;      // "Italic"
inline constexpr int sidActionUnderline = 65082;   // "Underline"
inline constexpr int sidActionSubscript = 65083;   // "Subscript"
inline constexpr int sidActionSuperscript = 65084; // "Superscript"
inline constexpr int sidActionUndo = 65085;        // "Undo"
inline constexpr int sidActionRedo = 65086;        // "Redo"
inline constexpr int sidActionPrint = 65087;       // "Print"

// Paragraph dialog
inline constexpr int sidParaJustify = 65088;          // "Justify:"
inline constexpr int sidParaJustifyItems = 65089;     // "Left,Center,Right" (comma text)
inline constexpr int sidParaMargins = 65090;          // "Margins"
inline constexpr int sidParaLeft = 65091;             // "left"
inline constexpr int sidParaRight = 65092;            // "right"
inline constexpr int sidParaFirstLine = 65093;        // "first line:"
inline constexpr int sidParaIndentAt = 65094;         // "at:"
inline constexpr int sidParaIndentItems = 65095;      // "(none),indent,unindent" (comma text)
inline constexpr int sidParaIntervals = 65096;        // "Intervals"
inline constexpr int sidParaBefore = 65097;           // "before:"
inline constexpr int sidParaAfter = 65098;            // "after:"
inline constexpr int sidParaLineSpacing = 65099;      // "line spacing:"
inline constexpr int sidParaLineSpacingItems = 65100; // "single,...,multiplier" (comma text)
inline constexpr int sidParaValue = 65101;            // "value:"
inline constexpr int sidParaTabstops = 65102;         // "&Tabstops"

// Tab stops dialog
inline constexpr int sidTabsSet = 65103; // "Set"

// Names of the units of measure, in the order of TTovraUnits
inline constexpr int sidUnitPoints = 65104;      // "Points"
inline constexpr int sidUnitInches = 65105;      // "Inches x 100"
inline constexpr int sidUnitMillimeters = 65106; // "Millimeters"

// Common buttons and texts
inline constexpr int sidOK = 65107;               // "OK"
inline constexpr int sidCancel = 65108;           // "Cancel"
inline constexpr int sidClose = 65109;            // "Close"
inline constexpr int sidHelp = 65110;             // "&Help"
inline constexpr int sidUntitledDocument = 65111; // "document"

// Date and time dialog
inline constexpr int sidDateTimeFormats = 65112; // "Available formats:"
inline constexpr int sidDateTimeCaption = 65113; // "Date and Time"

// Bookmark and tab stop buttons, dialog captions
inline constexpr int sidNew = 65114;              // "New"
inline constexpr int sidDelete = 65115;           // "Delete"
inline constexpr int sidDeleteAll = 65116;        // "Delete All"
inline constexpr int sidSelect = 65117;           // "Select"
inline constexpr int sidBookmarksCaption = 65118; // "BookMarks"
inline constexpr int sidParagraphCaption = 65119; // "Paragraph"

// The text with number id, or an empty string when the table holds no such number.
QString LoadStr(int id);
