#include "editor/TTovraBaseCustomRichEdit.h"

#include "editor/TTovraRichEditWindow.h"

#include <QApplication>
#include <QPalette>
#include <QResizeEvent>

using namespace richedit;

TTovraBaseCustomRichEdit::TTovraBaseCustomRichEdit(QWidget* parent)
    : QWidget(parent), FFont(QApplication::font()),
      FFontColor(QApplication::palette().color(QPalette::WindowText)),
      FColor(QApplication::palette().color(QPalette::Base)) {
    setFocusPolicy(Qt::StrongFocus);
}

TTovraBaseCustomRichEdit::~TTovraBaseCustomRichEdit() {
    // The window goes first, while the editor that hears its notifications is still whole.
    FWindow.reset();
}

RichEditEngine* TTovraBaseCustomRichEdit::Engine() const {
    return FWindow ? &FWindow->engine() : nullptr;
}

void TTovraBaseCustomRichEdit::HandleNeeded() {
    if (!FWindow)
        CreateWnd();
}

void TTovraBaseCustomRichEdit::RecreateWnd() {
    if (!FWindow)
        return;
    DestroyWnd();
    CreateWnd();
}

std::unique_ptr<TTovraRichEditWindow> TTovraBaseCustomRichEdit::CreateWindowHandle() {
    return std::make_unique<TTovraRichEditWindow>(this, this);
}

void TTovraBaseCustomRichEdit::CreateWnd() {
    FWindow = CreateWindowHandle();
    FWindow->setGeometry(rect());
    setFocusProxy(FWindow.get());
    RichEditEngine& e = FWindow->engine();
    e.EM_EXLIMITTEXT(FMaxLength);
    e.EM_SETREADONLY(FReadOnly);
    // Without word wrap lines run on; the window scrolls sideways instead.
    e.EM_SETTARGETDEVICE(nullptr, FWordWrap ? 0 : 1);
    ApplyWindowStyle();
    FWindow->setWantTabs(FWantTabs);
    FWindow->setWantReturns(FWantReturns);
    if (isVisible())
        FWindow->show();
}

void TTovraBaseCustomRichEdit::ApplyWindowStyle() {
    if (!FWindow)
        return;
    const bool vertical = FScrollBars == ssVertical || FScrollBars == ssBoth;
    const bool horizontal = (FScrollBars == ssHorizontal || FScrollBars == ssBoth) && !FWordWrap;
    FWindow->setScrollBarStyle(vertical, horizontal, KeepScrollBars());
    FWindow->setFrameShape(FBorderStyle == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
}

void TTovraBaseCustomRichEdit::DestroyWnd() {
    if (!FWindow)
        return;
    FModifiedWithoutWindow = Engine()->EM_GETMODIFY();
    setFocusProxy(nullptr);
    FWindow.reset();
}

void TTovraBaseCustomRichEdit::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    HandleNeeded();
    FWindow->show();
}

void TTovraBaseCustomRichEdit::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    if (FWindow && !SkipDefaultSize())
        FWindow->setGeometry(rect());
}

void TTovraBaseCustomRichEdit::focusInEvent(QFocusEvent* e) {
    QWidget::focusInEvent(e);
    if (FWindow)
        FWindow->setFocus();
}

// ---- Text and selection ----

QString TTovraBaseCustomRichEdit::Text() {
    HandleNeeded();
    return Engine()->WM_GETTEXT();
}

void TTovraBaseCustomRichEdit::SetText(const QString& value) {
    HandleNeeded();
    Engine()->WM_SETTEXT(value);
}

int32_t TTovraBaseCustomRichEdit::GetTextLen() {
    HandleNeeded();
    return Engine()->WM_GETTEXTLENGTH();
}

int32_t TTovraBaseCustomRichEdit::SelStart() {
    HandleNeeded();
    CHARRANGE r;
    Engine()->EM_EXGETSEL(r);
    return r.cpMin;
}

void TTovraBaseCustomRichEdit::SetSelStart(int32_t value) {
    HandleNeeded();
    Engine()->EM_EXSETSEL({value, value});
}

int32_t TTovraBaseCustomRichEdit::SelLength() {
    HandleNeeded();
    CHARRANGE r;
    Engine()->EM_EXGETSEL(r);
    return r.cpMax - r.cpMin;
}

void TTovraBaseCustomRichEdit::SetSelLength(int32_t value) {
    HandleNeeded();
    CHARRANGE r;
    Engine()->EM_EXGETSEL(r);
    Engine()->EM_EXSETSEL({r.cpMin, r.cpMin + value});
}

QString TTovraBaseCustomRichEdit::SelText() {
    HandleNeeded();
    return Engine()->EM_GETSELTEXT();
}

void TTovraBaseCustomRichEdit::SetSelText(const QString& value) {
    HandleNeeded();
    Engine()->EM_REPLACESEL(true, value);
}

bool TTovraBaseCustomRichEdit::Modified() {
    return FWindow ? Engine()->EM_GETMODIFY() : FModifiedWithoutWindow;
}

void TTovraBaseCustomRichEdit::SetModified(bool value) {
    if (FWindow)
        Engine()->EM_SETMODIFY(value);
    else
        FModifiedWithoutWindow = value;
}

void TTovraBaseCustomRichEdit::SelectAll() {
    HandleNeeded();
    Engine()->EM_EXSETSEL({0, -1});
}

// ---- Settings ----

void TTovraBaseCustomRichEdit::SetReadOnly(bool value) {
    FReadOnly = value;
    if (FWindow)
        Engine()->EM_SETREADONLY(value);
}

void TTovraBaseCustomRichEdit::SetWordWrap(bool value) {
    if (FWordWrap == value)
        return;
    FWordWrap = value;
    RecreateWnd();
}

void TTovraBaseCustomRichEdit::SetScrollBars(TScrollStyle value) {
    if (FScrollBars == value)
        return;
    FScrollBars = value;
    RecreateWnd();
}

void TTovraBaseCustomRichEdit::SetAlignment(TAlignment value) {
    if (FAlignment == value)
        return;
    FAlignment = value;
    RecreateWnd();
}

void TTovraBaseCustomRichEdit::SetBorderStyle(TBorderStyle value) {
    if (FBorderStyle == value)
        return;
    FBorderStyle = value;
    ApplyWindowStyle();
}

void TTovraBaseCustomRichEdit::SetWantTabs(bool value) {
    FWantTabs = value;
    if (FWindow)
        FWindow->setWantTabs(value);
}

void TTovraBaseCustomRichEdit::SetWantReturns(bool value) {
    FWantReturns = value;
    if (FWindow)
        FWindow->setWantReturns(value);
}

void TTovraBaseCustomRichEdit::SetMaxLength(int32_t value) {
    if (FMaxLength == value)
        return;
    FMaxLength = value;
    if (FWindow)
        Engine()->EM_EXLIMITTEXT(value);
}

void TTovraBaseCustomRichEdit::SetFont(const QFont& value) {
    FFont = value;
    FontChanged();
}

void TTovraBaseCustomRichEdit::SetFontColor(const QColor& value) {
    FFontColor = value;
    FontChanged();
}

void TTovraBaseCustomRichEdit::SetColor(const QColor& value) {
    if (FColor == value)
        return;
    FColor = value;
    ColorChanged();
}

// ---- Search ----

int32_t TTovraBaseCustomRichEdit::FindText(const QString& SearchStr, int32_t StartPos,
                                           int32_t Length, TTovraSearchTypes Options) {
    return DoFindText(SearchStr, StartPos, Length, Options);
}

int32_t TTovraBaseCustomRichEdit::ReplaceText(const QString& SearchStr, const QString& ReplaceStr,
                                              int32_t StartPos, int32_t Len,
                                              TTovraSearchTypes Options) {
    return DoReplaceText(SearchStr, ReplaceStr, StartPos, Len, Options);
}

// ---- Notifications ----

intptr_t TTovraBaseCustomRichEdit::Notify(NMHDR& header) {
    if (header.code == EN_CHANGE) {
        Change();
        return 0;
    }
    return WMNotify(header);
}

void TTovraBaseCustomRichEdit::Change() {
    if (FOnChange)
        FOnChange(this);
}

intptr_t TTovraBaseCustomRichEdit::WMNotify(NMHDR&) {
    return 0;
}
