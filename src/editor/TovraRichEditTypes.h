#pragma once

#include "framework/NotifyEvent.h"
#include "framework/TSet.h"

#include <QRect>
#include <QString>

#include <cstdint>
#include <functional>

class QObject;

// Enumerations and event types of the editor control. Ordinals are fixed: forms store the values
// by name and code compares them by ordinal.

enum TTovraRichLangOption : uint8_t {
    rlAutoKeyboard,
    rlAutoFont,
    rlImeCancelComplete,
    rlImeAlwaysSendNotify,
};
using TTovraRichLangOptions = TSet<TTovraRichLangOption>;

enum TTovraRichTypographyOptions : uint8_t { toAdvanced, toSimple };

enum TTovraRichSelection : uint8_t { stText, stObject, stMultiChar, stMultiObject };
using TTovraRichSelectionType = TSet<TTovraRichSelection>;

// The ordinal equals the engine's undo-name code.
enum TTovraRedoUndoType : uint8_t {
    uidUnknown,
    uidTyping,
    uidDelete,
    uidDragDrop,
    uidCut,
    uidPaste
};

enum TTovraSearchType : uint8_t { stWholeWord, stMatchCase, stSearchDown };
using TTovraSearchTypes = TSet<TTovraSearchType>;

// Positive values enlarge by that factor, negative values reduce by it, 0 is actual size.
using TTovraZoom = int8_t;
constexpr TTovraZoom kMinZoom = -64;
constexpr TTovraZoom kMaxZoom = 64;

enum TTovraRichEditMode : uint8_t { edModeAppOnly, edModePrinterSupport };

// The framework's edit-control settings the editor inherits.
enum TScrollStyle : uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TAlignment : uint8_t { taLeftJustify, taRightJustify, taCenter };
enum TBorderStyle : uint8_t { bsNone, bsSingle };
enum TMouseButton : uint8_t { mbLeft, mbRight, mbMiddle };

// Events. Sender is the editor raising it; parameters passed by reference are the handler's
// answers.
using TRichEditResizeEvent = std::function<void(QObject* Sender, QRect& Rect)>;
using TRichEditProtectChange =
    std::function<void(QObject* Sender, int32_t StartPos, int32_t EndPos, bool& AllowChange)>;
using TRichEditSaveClipboard =
    std::function<void(QObject* Sender, int32_t NumObjects, int32_t NumChars, bool& SaveClipboard)>;
using TTovraRichURLClickEvent =
    std::function<void(QObject* Sender, const QString& URLText, TMouseButton Button)>;
using TTovraRichDropFileEvent =
    std::function<void(QObject* Sender, const QString& FileName, bool& Accept)>;
using TTovraLinkMouseMoveEvent =
    std::function<void(QObject* Sender, const QString& URLText, bool IsLink)>;
using TTovraRichHandleEvent = std::function<void(QObject* Sender, bool& skipDefaultBehaviour)>;
