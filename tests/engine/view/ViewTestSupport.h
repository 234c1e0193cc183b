#pragma once

#include "engine/view/RichEditView.h"

#include <QApplication>
#include <QClipboard>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

// A host that records every notification and answers them as a test sets up.
struct ViewHost : richedit::RichEditHost {
    struct Record {
        uint32_t code = 0;
        uint32_t msg = 0;
        richedit::CHARRANGE chrg{};
        richedit::RECT rc{};
        QStringList files;
    };
    std::vector<Record> records;
    // Answers by notification code (0 when not set).
    std::map<uint32_t, intptr_t> answers;

    intptr_t Notify(richedit::NMHDR& h) override {
        Record r;
        r.code = h.code;
        if (h.code == richedit::EN_LINK) {
            const auto& link = reinterpret_cast<richedit::ENLINK&>(h);
            r.msg = link.msg;
            r.chrg = link.chrg;
        } else if (h.code == richedit::EN_MSGFILTER) {
            r.msg = reinterpret_cast<richedit::MSGFILTER&>(h).msg;
        } else if (h.code == richedit::EN_REQUESTRESIZE) {
            r.rc = reinterpret_cast<richedit::REQRESIZE&>(h).rc;
        } else if (h.code == richedit::EN_DROPFILES) {
            const auto& drop = reinterpret_cast<richedit::ENDROPFILES&>(h);
            r.files = *static_cast<const QStringList*>(drop.hDrop);
            r.chrg = {drop.cp, drop.cp};
        } else if (h.code == richedit::EN_SELCHANGE) {
            r.chrg = reinterpret_cast<richedit::SELCHANGE&>(h).chrg;
        }
        records.push_back(r);
        const auto it = answers.find(h.code);
        return it == answers.end() ? 0 : it->second;
    }
    size_t count(uint32_t code, uint32_t msg = 0) const {
        return size_t(std::count_if(records.begin(), records.end(), [&](const Record& r) {
            return r.code == code && (msg == 0 || r.msg == msg);
        }));
    }
};

// A shown window of a fixed size with a recording host.
class ViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        view = std::make_unique<richedit::view::RichEditView>(&host);
        view->resize(420, 300);
        view->show();
        view->activateWindow();
        view->setFocus();
        QApplication::processEvents();
    }
    void TearDown() override { view.reset(); }

    richedit::RichEditEngine& engine() { return view->engine(); }
    QString text() { return engine().WM_GETTEXT(); }
    richedit::CHARRANGE sel() {
        richedit::CHARRANGE r;
        engine().EM_EXGETSEL(r);
        return r;
    }
    QWidget* port() { return view->viewport(); }
    // The viewport point at the middle of a character's cell.
    QPoint pointOf(int32_t cp) {
        const richedit::POINT a = engine().EM_POSFROMCHAR(cp);
        const richedit::POINT b = engine().EM_POSFROMCHAR(cp + 1);
        const int right = b.y == a.y && b.x > a.x ? b.x : a.x + 4;
        return QPoint((a.x + right) / 2, a.y + 4);
    }
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(view.get(), k, m);
    }
    void type(const QString& s) { QTest::keyClicks(view.get(), s); }
    void mouse(QEvent::Type type, QPoint pos, Qt::MouseButton button = Qt::LeftButton,
               Qt::MouseButtons buttons = Qt::LeftButton,
               Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QMouseEvent e(type, QPointF(pos), port()->mapToGlobal(QPointF(pos)), button, buttons, mods);
        QApplication::sendEvent(port(), &e);
    }
    void click(QPoint pos, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        mouse(QEvent::MouseButtonPress, pos, Qt::LeftButton, Qt::LeftButton, mods);
        mouse(QEvent::MouseButtonRelease, pos, Qt::LeftButton, Qt::NoButton, mods);
    }
    void setText(const QString& s) {
        engine().WM_SETTEXT(s);
        QApplication::processEvents();
    }

    ViewHost host;
    std::unique_ptr<richedit::view::RichEditView> view;
};
