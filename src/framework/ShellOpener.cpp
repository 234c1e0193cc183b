#include "framework/ShellOpener.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QUrl>

#include <utility>

namespace {

ShellOpener::OpenHook& CurrentOpenHook() {
    static ShellOpener::OpenHook hook;
    return hook;
}

ShellOpener::ConfirmHook& CurrentConfirmHook() {
    static ShellOpener::ConfirmHook hook;
    return hook;
}

bool IsAsciiLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool IsAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The scheme of target: the text before its first colon when that text has the form of a URL
// scheme (a letter followed by letters, digits, "+", "-" or "."), in lower case; otherwise empty.
QString SchemeOf(const QString& target) {
    const qsizetype colon = target.indexOf(u':');
    if (colon < 1 || !IsAsciiLetter(target.at(0)))
        return QString();
    for (qsizetype i = 1; i < colon; ++i) {
        const QChar c = target.at(i);
        if (!IsAsciiLetter(c) && !IsAsciiDigit(c) && c != u'+' && c != u'-' && c != u'.')
            return QString();
    }
    return target.left(colon).toLower();
}

} // namespace

bool ShellOpener::IsWebOrMailLink(const QString& target) {
    const QString scheme = SchemeOf(target);
    return scheme == u"http" || scheme == u"https" || scheme == u"ftp" || scheme == u"mailto";
}

bool ShellOpener::Open(const QString& target) {
    if (!IsWebOrMailLink(target)) {
        // Copies, so that a hook may replace itself while it runs.
        const ConfirmHook confirm = CurrentConfirmHook();
        const bool confirmed = confirm ? confirm(target) : RefuseConfirmation(target);
        if (!confirmed)
            return false;
    }
    const OpenHook open = CurrentOpenHook();
    return open ? open(target) : DesktopOpen(target);
}

ShellOpener::OpenHook ShellOpener::SetOpenHook(OpenHook hook) {
    return std::exchange(CurrentOpenHook(), std::move(hook));
}

ShellOpener::ConfirmHook ShellOpener::SetConfirmHook(ConfirmHook hook) {
    return std::exchange(CurrentConfirmHook(), std::move(hook));
}

bool ShellOpener::DesktopOpen(const QString& target) {
    // The desktop services belong to the GUI application; without one there is no desktop.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        return false;
    // A link keeps its exact text; anything else may be a local path, which becomes a file URL.
    const QUrl url = SchemeOf(target).size() > 1 ? QUrl(target, QUrl::TolerantMode)
                                                 : QUrl::fromUserInput(target);
    if (!url.isValid() || url.isEmpty())
        return false;
    return QDesktopServices::openUrl(url);
}

bool ShellOpener::RefuseConfirmation(const QString& /*target*/) {
    // Nobody is asked, so nothing that could start a program is opened.
    return false;
}
