#pragma once

#include "editor/TovraRichEditTypes.h"
#include "engine/surface/RichEditHost.h"

#include <QColor>
#include <QFont>
#include <QWidget>

#include <memory>

namespace richedit {
class RichEditEngine;
}

class TTovraRichEditWindow;

// The multi-line edit control the rich editor builds on: a widget that hosts one engine window
// (the engine and its view) and the edit-control settings that shape it. "The window exists"
// (HandleAllocated) means the engine window is there; a setting that shapes the window (word
// wrap, scroll bars ...) re-creates it. It declares the search operations, which the rich editor
// implements.
class TTovraBaseCustomRichEdit : public QWidget, public richedit::RichEditHost {
    Q_OBJECT
public:
    explicit TTovraBaseCustomRichEdit(QWidget* parent = nullptr);
    ~TTovraBaseCustomRichEdit() override;

    // ---- The window ----
    bool HandleAllocated() const { return FWindow != nullptr; }
    void HandleNeeded();
    // Destroys and creates the window again (when it exists), keeping the document.
    void RecreateWnd();
    // The engine of the window, or nullptr without one.
    richedit::RichEditEngine* Engine() const;
    TTovraRichEditWindow* EngineWindow() const { return FWindow.get(); }

    // ---- Text and selection ----
    QString Text();
    void SetText(const QString& value);
    int32_t GetTextLen();
    virtual int32_t SelStart();
    virtual void SetSelStart(int32_t value);
    virtual int32_t SelLength();
    virtual void SetSelLength(int32_t value);
    virtual QString SelText();
    virtual void SetSelText(const QString& value);
    bool Modified();
    void SetModified(bool value);
    void SelectAll();

    // ---- Edit-control settings ----
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle value);
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool value);
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool value);
    int32_t MaxLength() const { return FMaxLength; }
    void SetMaxLength(int32_t value);
    const QFont& Font() const { return FFont; }
    void SetFont(const QFont& value);
    // The font's colour (the window text colour unless set).
    QColor FontColor() const { return FFontColor; }
    void SetFontColor(const QColor& value);
    const QColor& Color() const { return FColor; }
    void SetColor(const QColor& value);

    const TNotifyEvent& OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent value) { FOnChange = std::move(value); }

    // ---- Search ----
    int32_t FindText(const QString& SearchStr, int32_t StartPos, int32_t Length,
                     TTovraSearchTypes Options);
    int32_t ReplaceText(const QString& SearchStr, const QString& ReplaceStr, int32_t StartPos,
                        int32_t Len, TTovraSearchTypes Options);

    // While true, a resize of the editor leaves the engine window's size alone.
    virtual bool SkipDefaultSize() { return false; }

    // RichEditHost: the engine's notifications. EN_CHANGE becomes Change(); the others go to
    // WMNotify.
    intptr_t Notify(richedit::NMHDR& header) override;

protected:
    virtual int32_t DoFindText(const QString& SearchStr, int32_t StartPos, int32_t Length,
                               TTovraSearchTypes Options) = 0;
    virtual int32_t DoReplaceText(const QString& SearchStr, const QString& ReplaceStr,
                                  int32_t StartPos, int32_t Len, TTovraSearchTypes Options) = 0;

    // Creates the engine window and applies the edit-control settings to it.
    virtual void CreateWnd();
    // Destroys the engine window.
    virtual void DestroyWnd();
    // Makes the engine window (the editor's own subclass of the engine's view).
    virtual std::unique_ptr<TTovraRichEditWindow> CreateWindowHandle();
    // The framework's reaction to a text change: raises OnChange.
    virtual void Change();
    virtual intptr_t WMNotify(richedit::NMHDR& header);
    // Called after the font changed.
    virtual void FontChanged() {}
    // Called after the colour changed.
    virtual void ColorChanged() {}
    // Scroll-bar and selection styles of a new window.
    virtual void ApplyWindowStyle();
    // Whether the scroll bars stay, inactive, when the text fits.
    virtual bool KeepScrollBars() const { return false; }

    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;

    bool FReadOnly = false;
    bool FWordWrap = true;
    TScrollStyle FScrollBars = ssNone;
    TAlignment FAlignment = taLeftJustify;
    TBorderStyle FBorderStyle = bsSingle;
    bool FWantTabs = false;
    bool FWantReturns = true;
    int32_t FMaxLength = 0;
    QFont FFont;
    QColor FFontColor;
    QColor FColor;
    TNotifyEvent FOnChange;
    // The modified flag while there is no window (kept across a re-creation).
    bool FModifiedWithoutWindow = false;

private:
    std::unique_ptr<TTovraRichEditWindow> FWindow;
};
