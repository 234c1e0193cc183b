#pragma once

// Message identifiers, masks, effects and flags of the rich-edit engine's message surface.
// The numeric values are the documented ones, so that values quoted by components (event
// masks, paragraph masks, stream formats) keep their meaning.

#include <cstdint>

namespace richedit {

// ---- Message identifiers (used where a notification names the request behind it) ----
namespace msg {
constexpr uint32_t WM_USER = 0x0400;
constexpr uint32_t WM_SETTEXT = 0x000C;
constexpr uint32_t WM_GETTEXT = 0x000D;
constexpr uint32_t WM_GETTEXTLENGTH = 0x000E;
constexpr uint32_t WM_SETCURSOR = 0x0020;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_KEYUP = 0x0101;
constexpr uint32_t WM_CHAR = 0x0102;
constexpr uint32_t WM_SYSKEYDOWN = 0x0104;
constexpr uint32_t WM_SYSKEYUP = 0x0105;
constexpr uint32_t WM_MOUSEMOVE = 0x0200;
constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr uint32_t WM_LBUTTONUP = 0x0202;
constexpr uint32_t WM_LBUTTONDBLCLK = 0x0203;
constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr uint32_t WM_RBUTTONUP = 0x0205;
constexpr uint32_t WM_RBUTTONDBLCLK = 0x0206;
constexpr uint32_t WM_MBUTTONDOWN = 0x0207;
constexpr uint32_t WM_MBUTTONUP = 0x0208;
constexpr uint32_t WM_MOUSEWHEEL = 0x020A;
constexpr uint32_t WM_DROPFILES = 0x0233;
constexpr uint32_t EM_SCROLL = 0x00B5;
constexpr uint32_t EM_LINESCROLL = 0x00B6;
constexpr uint32_t EM_SCROLLCARET = 0x00B7;
constexpr uint32_t EM_GETFIRSTVISIBLELINE = 0x00CE;
constexpr uint32_t EM_POSFROMCHAR = 0x00D6;
constexpr uint32_t EM_CHARFROMPOS = 0x00D7;
constexpr uint32_t WM_CUT = 0x0300;
constexpr uint32_t WM_COPY = 0x0301;
constexpr uint32_t WM_PASTE = 0x0302;
constexpr uint32_t WM_CLEAR = 0x0303;
constexpr uint32_t WM_UNDO = 0x0304;
constexpr uint32_t EM_REPLACESEL = 0x00C2;
constexpr uint32_t EM_CANPASTE = WM_USER + 50;
constexpr uint32_t EM_DISPLAYBAND = WM_USER + 51;
constexpr uint32_t EM_EXGETSEL = WM_USER + 52;
constexpr uint32_t EM_EXLIMITTEXT = WM_USER + 53;
constexpr uint32_t EM_EXLINEFROMCHAR = WM_USER + 54;
constexpr uint32_t EM_EXSETSEL = WM_USER + 55;
constexpr uint32_t EM_FINDTEXT = WM_USER + 56;
constexpr uint32_t EM_FORMATRANGE = WM_USER + 57;
constexpr uint32_t EM_GETCHARFORMAT = WM_USER + 58;
constexpr uint32_t EM_GETEVENTMASK = WM_USER + 59;
constexpr uint32_t EM_GETOLEINTERFACE = WM_USER + 60;
constexpr uint32_t EM_GETPARAFORMAT = WM_USER + 61;
constexpr uint32_t EM_GETSELTEXT = WM_USER + 62;
constexpr uint32_t EM_HIDESELECTION = WM_USER + 63;
constexpr uint32_t EM_PASTESPECIAL = WM_USER + 64;
constexpr uint32_t EM_REQUESTRESIZE = WM_USER + 65;
constexpr uint32_t EM_SELECTIONTYPE = WM_USER + 66;
constexpr uint32_t EM_SETBKGNDCOLOR = WM_USER + 67;
constexpr uint32_t EM_SETCHARFORMAT = WM_USER + 68;
constexpr uint32_t EM_SETEVENTMASK = WM_USER + 69;
constexpr uint32_t EM_SETOLECALLBACK = WM_USER + 70;
constexpr uint32_t EM_SETPARAFORMAT = WM_USER + 71;
constexpr uint32_t EM_SETTARGETDEVICE = WM_USER + 72;
constexpr uint32_t EM_STREAMIN = WM_USER + 73;
constexpr uint32_t EM_STREAMOUT = WM_USER + 74;
constexpr uint32_t EM_GETTEXTRANGE = WM_USER + 75;
constexpr uint32_t EM_FINDWORDBREAK = WM_USER + 76;
constexpr uint32_t EM_FINDTEXTEX = WM_USER + 79;
constexpr uint32_t EM_SETUNDOLIMIT = WM_USER + 82;
constexpr uint32_t EM_REDO = WM_USER + 84;
constexpr uint32_t EM_CANREDO = WM_USER + 85;
constexpr uint32_t EM_GETUNDONAME = WM_USER + 86;
constexpr uint32_t EM_GETREDONAME = WM_USER + 87;
constexpr uint32_t EM_STOPGROUPTYPING = WM_USER + 88;
constexpr uint32_t EM_SETTEXTMODE = WM_USER + 89;
constexpr uint32_t EM_GETTEXTMODE = WM_USER + 90;
constexpr uint32_t EM_AUTOURLDETECT = WM_USER + 91;
constexpr uint32_t EM_GETAUTOURLDETECT = WM_USER + 92;
constexpr uint32_t EM_GETTEXTLENGTHEX = WM_USER + 95;
constexpr uint32_t EM_SETLANGOPTIONS = WM_USER + 120;
constexpr uint32_t EM_GETLANGOPTIONS = WM_USER + 121;
constexpr uint32_t EM_SETTYPOGRAPHYOPTIONS = WM_USER + 202;
constexpr uint32_t EM_GETTYPOGRAPHYOPTIONS = WM_USER + 203;
constexpr uint32_t EM_GETSCROLLPOS = WM_USER + 221;
constexpr uint32_t EM_SETSCROLLPOS = WM_USER + 222;
constexpr uint32_t EM_GETZOOM = WM_USER + 224;
constexpr uint32_t EM_SETZOOM = WM_USER + 225;
} // namespace msg

// ---- Modifier key state carried in a mouse message's wParam ----
constexpr uintptr_t MK_LBUTTON = 0x0001;
constexpr uintptr_t MK_RBUTTON = 0x0002;
constexpr uintptr_t MK_SHIFT = 0x0004;
constexpr uintptr_t MK_CONTROL = 0x0008;
constexpr uintptr_t MK_MBUTTON = 0x0010;

// ---- EM_SCROLL actions ----
constexpr uint32_t SB_LINEUP = 0;
constexpr uint32_t SB_LINEDOWN = 1;
constexpr uint32_t SB_PAGEUP = 2;
constexpr uint32_t SB_PAGEDOWN = 3;

// ---- Notification codes ----
constexpr uint32_t EN_CHANGE = 0x0300;
constexpr uint32_t EN_MSGFILTER = 0x0700;
constexpr uint32_t EN_REQUESTRESIZE = 0x0701;
constexpr uint32_t EN_SELCHANGE = 0x0702;
constexpr uint32_t EN_DROPFILES = 0x0703;
constexpr uint32_t EN_PROTECTED = 0x0704;
constexpr uint32_t EN_CORRECTTEXT = 0x0705;
constexpr uint32_t EN_STOPNOUNDO = 0x0706;
constexpr uint32_t EN_IMECHANGE = 0x0707;
constexpr uint32_t EN_SAVECLIPBOARD = 0x0708;
constexpr uint32_t EN_OLEOPFAILED = 0x0709;
constexpr uint32_t EN_OBJECTPOSITIONS = 0x070A;
constexpr uint32_t EN_LINK = 0x070B;
constexpr uint32_t EN_DRAGDROPDONE = 0x070C;

// ---- Event mask ----
constexpr uint32_t ENM_NONE = 0x00000000;
constexpr uint32_t ENM_CHANGE = 0x00000001;
constexpr uint32_t ENM_UPDATE = 0x00000002;
constexpr uint32_t ENM_SCROLL = 0x00000004;
constexpr uint32_t ENM_SCROLLEVENTS = 0x00000008;
constexpr uint32_t ENM_DRAGDROPDONE = 0x00000010;
constexpr uint32_t ENM_KEYEVENTS = 0x00010000;
constexpr uint32_t ENM_MOUSEEVENTS = 0x00020000;
constexpr uint32_t ENM_REQUESTRESIZE = 0x00040000;
constexpr uint32_t ENM_SELCHANGE = 0x00080000;
constexpr uint32_t ENM_DROPFILES = 0x00100000;
constexpr uint32_t ENM_PROTECTED = 0x00200000;
constexpr uint32_t ENM_CORRECTTEXT = 0x00400000;
constexpr uint32_t ENM_IMECHANGE = 0x00800000;
constexpr uint32_t ENM_LANGCHANGE = 0x01000000;
constexpr uint32_t ENM_OBJECTPOSITIONS = 0x02000000;
constexpr uint32_t ENM_LINK = 0x04000000;

// ---- Character format mask (dwMask) ----
constexpr uint32_t CFM_BOLD = 0x00000001;
constexpr uint32_t CFM_ITALIC = 0x00000002;
constexpr uint32_t CFM_UNDERLINE = 0x00000004;
constexpr uint32_t CFM_STRIKEOUT = 0x00000008;
constexpr uint32_t CFM_PROTECTED = 0x00000010;
constexpr uint32_t CFM_LINK = 0x00000020;
constexpr uint32_t CFM_SMALLCAPS = 0x00000040;
constexpr uint32_t CFM_ALLCAPS = 0x00000080;
constexpr uint32_t CFM_HIDDEN = 0x00000100;
constexpr uint32_t CFM_OUTLINE = 0x00000200;
constexpr uint32_t CFM_SHADOW = 0x00000400;
constexpr uint32_t CFM_EMBOSS = 0x00000800;
constexpr uint32_t CFM_IMPRINT = 0x00001000;
constexpr uint32_t CFM_DISABLED = 0x00002000;
constexpr uint32_t CFM_REVISED = 0x00004000;
constexpr uint32_t CFM_REVAUTHOR = 0x00008000;
constexpr uint32_t CFM_SUBSCRIPT = 0x00030000; // CFE_SUBSCRIPT | CFE_SUPERSCRIPT
constexpr uint32_t CFM_SUPERSCRIPT = CFM_SUBSCRIPT;
constexpr uint32_t CFM_ANIMATION = 0x00040000;
constexpr uint32_t CFM_STYLE = 0x00080000;
constexpr uint32_t CFM_KERNING = 0x00100000;
constexpr uint32_t CFM_SPACING = 0x00200000;
constexpr uint32_t CFM_WEIGHT = 0x00400000;
constexpr uint32_t CFM_UNDERLINETYPE = 0x00800000;
constexpr uint32_t CFM_LCID = 0x02000000;
constexpr uint32_t CFM_BACKCOLOR = 0x04000000;
constexpr uint32_t CFM_CHARSET = 0x08000000;
constexpr uint32_t CFM_OFFSET = 0x10000000;
constexpr uint32_t CFM_FACE = 0x20000000;
constexpr uint32_t CFM_COLOR = 0x40000000;
constexpr uint32_t CFM_SIZE = 0x80000000;

constexpr uint32_t CFM_EFFECTS =
    CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_COLOR | CFM_STRIKEOUT | CFM_PROTECTED | CFM_LINK;
constexpr uint32_t CFM_ALL = CFM_EFFECTS | CFM_SIZE | CFM_FACE | CFM_OFFSET | CFM_CHARSET;
constexpr uint32_t CFM_EFFECTS2 = CFM_EFFECTS | CFM_DISABLED | CFM_SMALLCAPS | CFM_ALLCAPS |
                                  CFM_HIDDEN | CFM_OUTLINE | CFM_SHADOW | CFM_EMBOSS | CFM_IMPRINT |
                                  CFM_REVISED | CFM_SUBSCRIPT | CFM_BACKCOLOR;
constexpr uint32_t CFM_ALL2 = CFM_ALL | CFM_EFFECTS2 | CFM_BACKCOLOR | CFM_LCID |
                              CFM_UNDERLINETYPE | CFM_WEIGHT | CFM_REVAUTHOR | CFM_SPACING |
                              CFM_KERNING | CFM_STYLE | CFM_ANIMATION;
static_assert(CFM_ALL2 == 0xFEFFFFFFu);

// ---- Character effects (dwEffects) ----
constexpr uint32_t CFE_BOLD = 0x00000001;
constexpr uint32_t CFE_ITALIC = 0x00000002;
constexpr uint32_t CFE_UNDERLINE = 0x00000004;
constexpr uint32_t CFE_STRIKEOUT = 0x00000008;
constexpr uint32_t CFE_PROTECTED = 0x00000010;
constexpr uint32_t CFE_LINK = 0x00000020;
constexpr uint32_t CFE_SMALLCAPS = CFM_SMALLCAPS;
constexpr uint32_t CFE_ALLCAPS = CFM_ALLCAPS;
constexpr uint32_t CFE_HIDDEN = CFM_HIDDEN;
constexpr uint32_t CFE_OUTLINE = CFM_OUTLINE;
constexpr uint32_t CFE_SHADOW = CFM_SHADOW;
constexpr uint32_t CFE_EMBOSS = CFM_EMBOSS;
constexpr uint32_t CFE_IMPRINT = CFM_IMPRINT;
constexpr uint32_t CFE_DISABLED = CFM_DISABLED;
constexpr uint32_t CFE_REVISED = CFM_REVISED;
constexpr uint32_t CFE_SUBSCRIPT = 0x00010000;
constexpr uint32_t CFE_SUPERSCRIPT = 0x00020000;
constexpr uint32_t CFE_AUTOBACKCOLOR = CFM_BACKCOLOR;
constexpr uint32_t CFE_AUTOCOLOR = 0x40000000;

// ---- Underline types (bUnderlineType) ----
constexpr uint8_t CFU_UNDERLINENONE = 0;
constexpr uint8_t CFU_UNDERLINE = 1;
constexpr uint8_t CFU_UNDERLINEWORD = 2;
constexpr uint8_t CFU_UNDERLINEDOUBLE = 3;
constexpr uint8_t CFU_UNDERLINEDOTTED = 4;
constexpr uint8_t CFU_UNDERLINEDASH = 5;
constexpr uint8_t CFU_UNDERLINEDASHDOT = 6;
constexpr uint8_t CFU_UNDERLINEDASHDOTDOT = 7;
constexpr uint8_t CFU_UNDERLINEWAVE = 8;
constexpr uint8_t CFU_UNDERLINETHICK = 9;
constexpr uint8_t CFU_UNDERLINEHAIRLINE = 10;
constexpr uint8_t CFU_UNDERLINEDOUBLEWAVE = 11;
constexpr uint8_t CFU_UNDERLINEHEAVYWAVE = 12;
constexpr uint8_t CFU_UNDERLINELONGDASH = 13;

// ---- EM_SETCHARFORMAT / EM_GETCHARFORMAT targets ----
constexpr uint32_t SCF_DEFAULT = 0x0000;
constexpr uint32_t SCF_SELECTION = 0x0001;
constexpr uint32_t SCF_WORD = 0x0002;
constexpr uint32_t SCF_ALL = 0x0004;
constexpr uint32_t SCF_USEUIRULES = 0x0008;

// ---- Paragraph format mask ----
constexpr uint32_t PFM_STARTINDENT = 0x00000001;
constexpr uint32_t PFM_RIGHTINDENT = 0x00000002;
constexpr uint32_t PFM_OFFSET = 0x00000004;
constexpr uint32_t PFM_ALIGNMENT = 0x00000008;
constexpr uint32_t PFM_TABSTOPS = 0x00000010;
constexpr uint32_t PFM_NUMBERING = 0x00000020;
constexpr uint32_t PFM_SPACEBEFORE = 0x00000040;
constexpr uint32_t PFM_SPACEAFTER = 0x00000080;
constexpr uint32_t PFM_LINESPACING = 0x00000100;
constexpr uint32_t PFM_STYLE = 0x00000400;
constexpr uint32_t PFM_BORDER = 0x00000800;
constexpr uint32_t PFM_SHADING = 0x00001000;
constexpr uint32_t PFM_NUMBERINGSTYLE = 0x00002000;
constexpr uint32_t PFM_NUMBERINGTAB = 0x00004000;
constexpr uint32_t PFM_NUMBERINGSTART = 0x00008000;
constexpr uint32_t PFM_RTLPARA = 0x00010000;
constexpr uint32_t PFM_KEEP = 0x00020000;
constexpr uint32_t PFM_KEEPNEXT = 0x00040000;
constexpr uint32_t PFM_PAGEBREAKBEFORE = 0x00080000;
constexpr uint32_t PFM_NOLINENUMBER = 0x00100000;
constexpr uint32_t PFM_NOWIDOWCONTROL = 0x00200000;
constexpr uint32_t PFM_DONOTHYPHEN = 0x00400000;
constexpr uint32_t PFM_SIDEBYSIDE = 0x00800000;
constexpr uint32_t PFM_COLLAPSED = 0x01000000;
constexpr uint32_t PFM_OUTLINELEVEL = 0x02000000;
constexpr uint32_t PFM_BOX = 0x04000000;
constexpr uint32_t PFM_TABLEROWDELIMITER = 0x10000000;
constexpr uint32_t PFM_TEXTWRAPPINGBREAK = 0x20000000;
constexpr uint32_t PFM_TABLE = 0x40000000;
constexpr uint32_t PFM_OFFSETINDENT = 0x80000000;

// Paragraph effects live in wEffects; each effect's mask bit is its effect bit shifted by 16.
constexpr uint32_t PFM_EFFECTS = PFM_RTLPARA | PFM_KEEP | PFM_KEEPNEXT | PFM_PAGEBREAKBEFORE |
                                 PFM_NOLINENUMBER | PFM_NOWIDOWCONTROL | PFM_DONOTHYPHEN |
                                 PFM_SIDEBYSIDE | PFM_COLLAPSED | PFM_TABLEROWDELIMITER |
                                 PFM_TEXTWRAPPINGBREAK | PFM_TABLE;
constexpr uint32_t PFM_ALL = PFM_STARTINDENT | PFM_RIGHTINDENT | PFM_OFFSET | PFM_ALIGNMENT |
                             PFM_TABSTOPS | PFM_NUMBERING | PFM_OFFSETINDENT | PFM_RTLPARA;
constexpr uint32_t PFM_ALL2 = PFM_ALL | PFM_EFFECTS | PFM_SPACEBEFORE | PFM_SPACEAFTER |
                              PFM_LINESPACING | PFM_STYLE | PFM_SHADING | PFM_BORDER |
                              PFM_NUMBERINGTAB | PFM_NUMBERINGSTART | PFM_NUMBERINGSTYLE |
                              PFM_OUTLINELEVEL | PFM_BOX;

constexpr uint16_t PFE_RTLPARA = PFM_RTLPARA >> 16;
constexpr uint16_t PFE_KEEP = PFM_KEEP >> 16;
constexpr uint16_t PFE_KEEPNEXT = PFM_KEEPNEXT >> 16;
constexpr uint16_t PFE_PAGEBREAKBEFORE = PFM_PAGEBREAKBEFORE >> 16;
constexpr uint16_t PFE_NOLINENUMBER = PFM_NOLINENUMBER >> 16;
constexpr uint16_t PFE_NOWIDOWCONTROL = PFM_NOWIDOWCONTROL >> 16;
constexpr uint16_t PFE_DONOTHYPHEN = PFM_DONOTHYPHEN >> 16;
constexpr uint16_t PFE_SIDEBYSIDE = PFM_SIDEBYSIDE >> 16;
constexpr uint16_t PFE_COLLAPSED = PFM_COLLAPSED >> 16;
constexpr uint16_t PFE_TABLEROWDELIMITER = PFM_TABLEROWDELIMITER >> 16;
constexpr uint16_t PFE_TEXTWRAPPINGBREAK = PFM_TEXTWRAPPINGBREAK >> 16;
constexpr uint16_t PFE_TABLE = PFM_TABLE >> 16;

// Alignment
constexpr uint16_t PFA_LEFT = 1;
constexpr uint16_t PFA_RIGHT = 2;
constexpr uint16_t PFA_CENTER = 3;
constexpr uint16_t PFA_JUSTIFY = 4;
constexpr uint16_t PFA_FULL_INTERWORD = 4;

// Numbering
constexpr uint16_t PFN_BULLET = 1;
constexpr uint16_t PFN_ARABIC = 2;
constexpr uint16_t PFN_LCLETTER = 3;
constexpr uint16_t PFN_UCLETTER = 4;
constexpr uint16_t PFN_LCROMAN = 5;
constexpr uint16_t PFN_UCROMAN = 6;
constexpr uint16_t PFNS_PAREN = 0x0000;
constexpr uint16_t PFNS_PARENS = 0x0100;
constexpr uint16_t PFNS_PERIOD = 0x0200;
constexpr uint16_t PFNS_PLAIN = 0x0300;
constexpr uint16_t PFNS_NONUMBER = 0x0400;
constexpr uint16_t PFNS_NEWNUMBER = 0x8000;

constexpr int MAX_TAB_STOPS = 32;
constexpr int LF_FACESIZE = 32;

// ---- Selection types ----
constexpr uint16_t SEL_EMPTY = 0x0000;
constexpr uint16_t SEL_TEXT = 0x0001;
constexpr uint16_t SEL_OBJECT = 0x0002;
constexpr uint16_t SEL_MULTICHAR = 0x0004;
constexpr uint16_t SEL_MULTIOBJECT = 0x0008;

// ---- Text length flags ----
constexpr uint32_t GTL_DEFAULT = 0;
constexpr uint32_t GTL_USECRLF = 1;
constexpr uint32_t GTL_PRECISE = 2;
constexpr uint32_t GTL_CLOSE = 4;
constexpr uint32_t GTL_NUMCHARS = 8;
constexpr uint32_t GTL_NUMBYTES = 16;

// ---- Find flags ----
constexpr uint32_t FR_DOWN = 0x00000001;
constexpr uint32_t FR_WHOLEWORD = 0x00000002;
constexpr uint32_t FR_MATCHCASE = 0x00000004;

// ---- Stream formats ----
constexpr uint32_t SF_TEXT = 0x0001;
constexpr uint32_t SF_RTF = 0x0002;
constexpr uint32_t SF_RTFNOOBJS = 0x0003;
constexpr uint32_t SF_TEXTIZED = 0x0004;
constexpr uint32_t SF_UNICODE = 0x0010;
constexpr uint32_t SFF_SELECTION = 0x8000;
constexpr uint32_t SFF_PLAINRTF = 0x4000;

// ---- Undo names ----
enum UNDONAMEID : uint32_t {
    UID_UNKNOWN = 0,
    UID_TYPING = 1,
    UID_DELETE = 2,
    UID_DRAGDROP = 3,
    UID_CUT = 4,
    UID_PASTE = 5,
    UID_AUTOCORRECT = 6,
};

// ---- Text modes ----
constexpr uint32_t TM_PLAINTEXT = 1;
constexpr uint32_t TM_RICHTEXT = 2;
constexpr uint32_t TM_SINGLELEVELUNDO = 4;
constexpr uint32_t TM_MULTILEVELUNDO = 8;
constexpr uint32_t TM_SINGLECODEPAGE = 16;
constexpr uint32_t TM_MULTICODEPAGE = 32;

// ---- Typography options ----
constexpr uint32_t TO_ADVANCEDTYPOGRAPHY = 1;
constexpr uint32_t TO_SIMPLELINEBREAK = 2;

// ---- Language options ----
constexpr uint32_t IMF_AUTOKEYBOARD = 0x0001;
constexpr uint32_t IMF_AUTOFONT = 0x0002;
constexpr uint32_t IMF_IMECANCELCOMPLETE = 0x0004;
constexpr uint32_t IMF_IMEALWAYSSENDNOTIFY = 0x0008;
constexpr uint32_t IMF_AUTOFONTSIZEADJUST = 0x0010;
constexpr uint32_t IMF_UIFONTS = 0x0020;
constexpr uint32_t IMF_DUALFONT = 0x0080;

// ---- Stream errors reported in dwError ----
constexpr uint32_t ESE_CALLBACK_FAILED_BASE = 0;     // a callback's own non-zero answer is stored
constexpr uint32_t ESE_REJECTED_FORMAT = 0x80070057; // input in a format the stream does not take

// ---- Colours ----
using COLORREF = uint32_t;
constexpr COLORREF RGB(uint8_t r, uint8_t g, uint8_t b) {
    return uint32_t(r) | (uint32_t(g) << 8) | (uint32_t(b) << 16);
}

// ---- Embedded objects ----
using HRESULT = int32_t;
constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_INVALIDARG = int32_t(0x80070057);
constexpr HRESULT E_NOTIMPL = int32_t(0x80004001);
constexpr int32_t REO_CP_SELECTION = -1;
constexpr int32_t REO_IOB_SELECTION = -1;
constexpr int32_t REO_IOB_USE_CP = -2;
constexpr uint32_t REO_GETOBJ_NO_INTERFACES = 0x00000000;
constexpr uint32_t REO_GETOBJ_POLEOBJ = 0x00000001;
constexpr uint32_t REO_GETOBJ_PSTG = 0x00000002;
constexpr uint32_t REO_GETOBJ_POLESITE = 0x00000004;
constexpr uint32_t REO_GETOBJ_ALL_INTERFACES = 0x00000007;
constexpr uint32_t REO_NULL = 0x00000000;
constexpr uint32_t REO_READWRITEMASK = 0x0000003F;
constexpr uint32_t REO_DONTNEEDPALETTE = 0x00000020;
constexpr uint32_t REO_BLANK = 0x00000010;
constexpr uint32_t REO_DYNAMICSIZE = 0x00000008;
constexpr uint32_t REO_INVERTEDSELECT = 0x00000004;
constexpr uint32_t REO_BELOWBASELINE = 0x00000002;
constexpr uint32_t REO_RESIZABLE = 0x00000001;
constexpr uint32_t REO_LINK = 0x80000000;
constexpr uint32_t REO_STATIC = 0x40000000;
constexpr uint32_t REO_SELECTED = 0x08000000;
constexpr uint32_t REO_OPEN = 0x04000000;
constexpr uint32_t REO_INPLACEACTIVE = 0x02000000;
constexpr uint32_t REO_HILITED = 0x01000000;
constexpr uint32_t REO_LINKAVAILABLE = 0x00800000;
constexpr uint32_t REO_GETMETAFILE = 0x00400000;
constexpr uint32_t DVASPECT_CONTENT = 1;
constexpr uint32_t DVASPECT_THUMBNAIL = 2;
constexpr uint32_t DVASPECT_ICON = 4;
constexpr uint32_t DVASPECT_DOCPRINT = 8;
constexpr uint32_t OLECLOSE_SAVEIFDIRTY = 0;
constexpr uint32_t OLECLOSE_NOSAVE = 1;
constexpr uint32_t OLECLOSE_PROMPTSAVE = 2;

} // namespace richedit
