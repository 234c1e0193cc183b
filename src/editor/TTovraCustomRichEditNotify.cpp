// The rich editor's notifications and events: what the engine reports and the window inputs the
// editor takes first.

#include "editor/RichEditModule.h"
#include "editor/TTovraCustomRichEdit.h"
#include "editor/TTovraRichEditWindow.h"
#include "engine/surface/RichEditEngine.h"
#include "foundation/TovraTextUtils.h"
#include "hypertext/TovraRichLinkLookup.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>
#include <QPushButton>

using namespace richedit;

namespace {
constexpr uint32_t kNotifyHScroll = 0x0601;
constexpr uint32_t kNotifyVScroll = 0x0602;
} // namespace

void TTovraCustomRichEdit::Change() {
    if (!FRecreateInProcess)
        TTovraBaseCustomRichEdit::Change();
    UpdateRulerIndents();
}

intptr_t TTovraCustomRichEdit::WMNotify(NMHDR& header) {
    switch (header.code) {
    case kNotifyHScroll:
    case kNotifyVScroll:
        return 1;
    case EN_MSGFILTER:
        hoverCountdown();
        return 0;
    case EN_REQUESTRESIZE: {
        const RECT& rc = reinterpret_cast<REQRESIZE&>(header).rc;
        QRect rect(QPoint(rc.left, rc.top), QPoint(rc.right - 1, rc.bottom - 1));
        DoRequestResize(rect);
        return 0;
    }
    case EN_SELCHANGE:
        DoSelectionChange();
        return 0;
    case EN_PROTECTED: {
        const auto& info = reinterpret_cast<ENPROTECTED&>(header);
        if (info.msg == msg::WM_COPY)
            return 0; // copying protected text is always allowed
        return DoProtectChange(info.chrg.cpMin, info.chrg.cpMax) ? 0 : 1;
    }
    case EN_SAVECLIPBOARD: {
        const auto& info = reinterpret_cast<ENSAVECLIPBOARD&>(header);
        return DoSaveClipboard(info.cObjectCount, info.cch) ? 0 : 1;
    }
    case EN_OBJECTPOSITIONS:
        return FReadOnly ? 1 : 0;
    case EN_LINK:
        handleLink(reinterpret_cast<ENLINK&>(header));
        return 0;
    default:
        return 0;
    }
}

void TTovraCustomRichEdit::DoSelectionChange() {
    if (FOnSelChange)
        FOnSelChange(this);
    UpdateCombos();
    UpdateRulerIndents();
}

void TTovraCustomRichEdit::UpdateCombos() {
    // Each registered combo box whose window exists refreshes itself from the selection through
    // its UpdateSelection slot, in registration order.
    const std::vector<QPointer<QComboBox>> combos = FCombos;
    for (const QPointer<QComboBox>& combo : combos)
        if (combo && combo->testAttribute(Qt::WA_WState_Created))
            QMetaObject::invokeMethod(combo.data(), "UpdateSelection", Qt::DirectConnection);
}

void TTovraCustomRichEdit::UpdateRulerIndents() {
    // The ruler follows the selection's paragraph indents once a ruler is hosted.
}

bool TTovraCustomRichEdit::DoProtectChange(int32_t StartPos, int32_t EndPos) {
    bool allow = FDefaultProtect;
    if (FOnProtectChange)
        FOnProtectChange(this, StartPos, EndPos, allow);
    return allow;
}

bool TTovraCustomRichEdit::DoSaveClipboard(int32_t NumObjects, int32_t NumChars) {
    bool save = true;
    if (FOnSaveClipboard)
        FOnSaveClipboard(this, NumObjects, NumChars, save);
    return save;
}

void TTovraCustomRichEdit::DoRequestResize(QRect& Rect) {
    if (FOnResizeRequest)
        FOnResizeRequest(this, Rect);
}

// ---- Links ----

void TTovraCustomRichEdit::handleLink(const ENLINK& link) {
    FInMousePosURLc = 1;
    const bool release = link.msg == msg::WM_LBUTTONUP || link.msg == msg::WM_RBUTTONUP;
    if (!release && !FOnLinkMouseMove)
        return;
    const TMouseButton button = link.msg == msg::WM_RBUTTONUP ? mbRight : mbLeft;
    bool internal = false;
    QString text;
    if (!GetLinkParams(*this, link.chrg.cpMin, internal, text)) {
        // A link from a document's hyperlink field leads to its field's target; other link
        // text is its own address.
        text = Engine()->LinkTargetAt(link.chrg.cpMin).trimmed();
        if (text.isEmpty())
            text = GetTextRange(link.chrg.cpMin, link.chrg.cpMax).trimmed();
        internal = false;
    }
    if (text.isEmpty())
        return;
    if (release) {
        if (internal)
            DoLinkClick(text, button);
        else
            DoURLClick(text, button);
        return;
    }
    if (FOnLinkMouseMove && text != FInMousePosURL) {
        FInMousePosURL = text;
        FOnLinkMouseMove(this, text, internal);
    }
}

void TTovraCustomRichEdit::hoverCountdown() {
    --FInMousePosURLc;
    if (FOnLinkMouseMove && FInMousePosURLc < 0 && !FInMousePosURL.isEmpty()) {
        FInMousePosURL.clear();
        FOnLinkMouseMove(this, QString(), false);
    }
}

void TTovraCustomRichEdit::DoURLClick(const QString& text, TMouseButton Button) {
    if (FOnURLClick)
        FOnURLClick(this, text, Button);
    else if (Button == mbLeft)
        OpenURL(text, true);
}

void TTovraCustomRichEdit::DoLinkClick(const QString& text, TMouseButton Button) {
    if (FOnLinkClick)
        FOnLinkClick(this, text, Button);
}

// ---- Dropped files ----

bool TTovraCustomRichEdit::DoDropFile(const QString& FileName) {
    bool accept = true;
    if (FOnDropFile)
        FOnDropFile(this, FileName, accept);
    return accept;
}

bool TTovraCustomRichEdit::WindowDropFiles(const QStringList& paths) {
    if (!FAcceptDropFiles || paths.isEmpty())
        return false;
    // Only the first file counts; the platform keeps paths to 260 characters.
    const QString first = paths.first().left(260);
    if (!DoDropFile(first))
        return false;
    if (QWidget* top = window()) {
        top->raise();
        top->activateWindow();
    }
    return true;
}

// ---- Keys, paste, the right button ----

bool TTovraCustomRichEdit::WindowKeyDown(QKeyEvent* e) {
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    if (e->key() == Qt::Key_Escape && mods == Qt::NoModifier) {
        // A dialog around the editor takes Escape for its cancel button.
        if (auto* dialog = qobject_cast<QDialog*>(window());
            dialog && static_cast<QWidget*>(dialog) != this) {
            dialog->reject();
            return true;
        }
        return false;
    }
    if (PlainText() && ((e->key() == Qt::Key_Insert && mods == Qt::ShiftModifier) ||
                        (e->key() == Qt::Key_V && mods == Qt::ControlModifier))) {
        PastePlainText();
        return true;
    }
    return false;
}

void TTovraCustomRichEdit::WindowPaste() {
    if (PlainText())
        PastePlainText();
    else
        EngineWindow()->EnginePaste();
}

void TTovraCustomRichEdit::WindowRButtonUp(const QPoint& pos) {
    if (!FAllowObjects)
        return;
    // The engine sends no context-menu request of its own: ask for one at the click.
    WindowContextMenu(pos);
}

void TTovraCustomRichEdit::WindowContextMenu(const QPoint& pos) {
    emit ContextPopupRequested(EngineWindow()->viewport()->mapToGlobal(pos));
}
