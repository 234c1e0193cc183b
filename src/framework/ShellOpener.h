#pragma once

#include <QString>

#include <functional>
#include <utility>

// Hands a link or a document to the desktop, which opens it with the program the user chose for
// it, and answers whether the desktop accepted the request.
//
// Only requests for the web and mail schemes (http, https, ftp, mailto; compared without regard
// to case) go to the desktop unasked. Anything else (a file: URL, a path to a program or a
// document, an unknown scheme) could start a program, so it is opened only when the confirmation
// hook answers yes; otherwise the request is refused and Open answers false.
//
// Both steps are replaceable hooks:
// - the open hook receives the request text and answers whether it was accepted; by default it
//   passes the text to QDesktopServices::openUrl, and answers false when no QGuiApplication runs;
// - the confirmation hook receives the request text and answers whether it may be opened. The
//   default confirmation asks nobody and refuses: until a person can be asked (a message box),
//   nothing but a web or mail link is ever opened.
class ShellOpener {
public:
    using OpenHook = std::function<bool(const QString& target)>;
    using ConfirmHook = std::function<bool(const QString& target)>;

    // Opens target, asking the confirmation hook first unless it is a web or mail link.
    static bool Open(const QString& target);

    // Whether target begins with one of the schemes that open without confirmation.
    static bool IsWebOrMailLink(const QString& target);

    // Install a hook (an empty one restores the default) and answer the previous one.
    static OpenHook SetOpenHook(OpenHook hook);
    static ConfirmHook SetConfirmHook(ConfirmHook hook);

    // The default steps, which the hooks replace.
    static bool DesktopOpen(const QString& target);
    static bool RefuseConfirmation(const QString& target);
};

// Installs an open hook for the lifetime of the object and restores the previous one afterwards.
class ScopedShellOpenHook {
public:
    explicit ScopedShellOpenHook(ShellOpener::OpenHook hook)
        : FPrevious(ShellOpener::SetOpenHook(std::move(hook))) {}
    ~ScopedShellOpenHook() { ShellOpener::SetOpenHook(std::move(FPrevious)); }

    ScopedShellOpenHook(const ScopedShellOpenHook&) = delete;
    ScopedShellOpenHook& operator=(const ScopedShellOpenHook&) = delete;

private:
    ShellOpener::OpenHook FPrevious;
};

// Installs a confirmation hook for the lifetime of the object and restores the previous one
// afterwards.
class ScopedShellConfirmHook {
public:
    explicit ScopedShellConfirmHook(ShellOpener::ConfirmHook hook)
        : FPrevious(ShellOpener::SetConfirmHook(std::move(hook))) {}
    ~ScopedShellConfirmHook() { ShellOpener::SetConfirmHook(std::move(FPrevious)); }

    ScopedShellConfirmHook(const ScopedShellConfirmHook&) = delete;
    ScopedShellConfirmHook& operator=(const ScopedShellConfirmHook&) = delete;

private:
    ShellOpener::ConfirmHook FPrevious;
};
