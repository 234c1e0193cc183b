#pragma once

#include "editor/RichEditModule.h"
#include "editor/TTovraRichEdit.h"
#include "editor/TTovraRichEditWindow.h"
#include "engine/surface/EngineVersion.h"
#include "engine/surface/RichEditEngine.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

// Runs the module start-up under an engine version for the lifetime of the object and restores
// the normal start-up afterwards.
class ScopedRichEditVersion {
public:
    explicit ScopedRichEditVersion(int version) {
        FEngine.emplace(version);
        RichEditModule::Reset();
        RichEditModule::Init();
    }
    ~ScopedRichEditVersion() {
        RichEditModule::Reset();
        FEngine.reset();
        RichEditModule::Init();
    }

private:
    std::optional<richedit::ScopedEngineVersion> FEngine;
};

// A shown editor of a useful size.
class EditorTest : public ::testing::Test {
protected:
    void SetUp() override { make(); }
    void make() {
        edit = std::make_unique<TTovraRichEdit>();
        edit->resize(400, 300);
        edit->show();
        QApplication::processEvents();
    }
    richedit::RichEditEngine& engine() { return *edit->Engine(); }
    QWidget* port() { return edit->EngineWindow()->viewport(); }
    QPoint pointOf(int32_t cp) {
        const richedit::POINT a = engine().EM_POSFROMCHAR(cp);
        const richedit::POINT b = engine().EM_POSFROMCHAR(cp + 1);
        const int right = b.y == a.y && b.x > a.x ? b.x : a.x + 4;
        return QPoint((a.x + right) / 2, a.y + 4);
    }
    void mouse(QEvent::Type type, QPoint pos, Qt::MouseButton button = Qt::LeftButton,
               Qt::MouseButtons buttons = Qt::LeftButton) {
        QMouseEvent e(type, QPointF(pos), port()->mapToGlobal(QPointF(pos)), button, buttons,
                      Qt::NoModifier);
        QApplication::sendEvent(port(), &e);
    }
    void click(QPoint pos, Qt::MouseButton button = Qt::LeftButton) {
        mouse(QEvent::MouseButtonPress, pos, button, button);
        mouse(QEvent::MouseButtonRelease, pos, button, Qt::NoButton);
    }
    void setBold(int32_t from, int32_t to) {
        engine().EM_EXSETSEL({from, to});
        richedit::CHARFORMAT2W cf;
        cf.dwMask = richedit::CFM_BOLD;
        cf.dwEffects = richedit::CFE_BOLD;
        engine().EM_SETCHARFORMAT(richedit::SCF_SELECTION, cf);
    }
    bool boldAt(int32_t cp) {
        engine().EM_EXSETSEL({cp, cp + 1});
        richedit::CHARFORMAT2W cf;
        engine().EM_GETCHARFORMAT(richedit::SCF_SELECTION, cf);
        return (cf.dwMask & richedit::CFM_BOLD) && (cf.dwEffects & richedit::CFE_BOLD);
    }
    void protect(int32_t from, int32_t to) {
        const bool before = edit->DefaultProtect();
        edit->SetDefaultProtect(true);
        engine().EM_EXSETSEL({from, to});
        richedit::CHARFORMAT2W cf;
        cf.dwMask = richedit::CFM_PROTECTED;
        cf.dwEffects = richedit::CFE_PROTECTED;
        engine().EM_SETCHARFORMAT(richedit::SCF_SELECTION, cf);
        edit->SetDefaultProtect(before);
    }

    std::unique_ptr<TTovraRichEdit> edit;
};
