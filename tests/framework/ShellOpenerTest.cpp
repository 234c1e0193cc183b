#include "framework/ShellOpener.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

// Records what reaches the desktop and what the confirmation is asked about.
class ShellOpenerTest : public ::testing::Test {
protected:
    QStringList Opened;
    QStringList Asked;
    bool Accept = true;
    ScopedShellOpenHook OpenHook{[this](const QString& target) {
        Opened << target;
        return Accept;
    }};
};

TEST_F(ShellOpenerTest, WebAndMailLinksOpenWithoutConfirmation) {
    const char* const links[] = {"http://example.com/a?b=c",  "https://example.com",
                                 "ftp://ftp.example.com/pub", "mailto:someone@example.com",
                                 "HTTP://EXAMPLE.COM",        "MailTo:x@y"};
    ScopedShellConfirmHook confirm([this](const QString& target) {
        Asked << target;
        return false;
    });
    for (const char* link : links) {
        const QString target = QString::fromUtf8(link);
        EXPECT_TRUE(ShellOpener::Open(target)) << link;
        ASSERT_FALSE(Opened.isEmpty());
        EXPECT_EQ(Opened.takeLast(), target);
    }
    EXPECT_TRUE(Asked.isEmpty());
}

TEST_F(ShellOpenerTest, OtherRequestsAreRefusedByTheDefaultConfirmation) {
    const char* const requests[] = {"/usr/bin/xterm",
                                    "file:///usr/bin/xterm",
                                    "C:\\tool.exe",
                                    "javascript:alert(1)",
                                    "ssh://host",
                                    "www.example.com",
                                    "  http://example.com",
                                    "http//example.com",
                                    ""};
    for (const char* request : requests)
        EXPECT_FALSE(ShellOpener::Open(QString::fromUtf8(request))) << request;
    EXPECT_TRUE(Opened.isEmpty());
}

TEST_F(ShellOpenerTest, OtherRequestsOpenOnceConfirmed) {
    ScopedShellConfirmHook confirm([this](const QString& target) {
        Asked << target;
        return true;
    });
    EXPECT_TRUE(ShellOpener::Open(QStringLiteral("file:///home/user/letter.rtf")));
    EXPECT_EQ(Asked, QStringList{QStringLiteral("file:///home/user/letter.rtf")});
    EXPECT_EQ(Opened, QStringList{QStringLiteral("file:///home/user/letter.rtf")});
}

TEST_F(ShellOpenerTest, TheAnswerIsTheDesktopsAnswer) {
    Accept = false;
    EXPECT_FALSE(ShellOpener::Open(QStringLiteral("https://example.com")));
    EXPECT_EQ(Opened.size(), 1);
}

TEST_F(ShellOpenerTest, ScopedHooksRestoreTheirPredecessors) {
    {
        ScopedShellConfirmHook confirm([](const QString&) { return true; });
        ScopedShellOpenHook inner([](const QString&) { return false; });
        EXPECT_FALSE(ShellOpener::Open(QStringLiteral("/tmp/x")));
    }
    EXPECT_FALSE(ShellOpener::Open(QStringLiteral("/tmp/x"))); // refused again, not opened
    EXPECT_TRUE(ShellOpener::Open(QStringLiteral("http://x")));
    EXPECT_EQ(Opened, QStringList{QStringLiteral("http://x")});
}

// Without a QGuiApplication there is no desktop to accept anything; nothing is launched.
TEST(ShellOpenerDefault, WithoutAGuiApplicationTheDesktopAcceptsNothing) {
    EXPECT_FALSE(ShellOpener::DesktopOpen(QStringLiteral("http://example.com")));
    EXPECT_FALSE(ShellOpener::Open(QStringLiteral("http://example.com")));
    ScopedShellConfirmHook confirm([](const QString&) { return true; });
    EXPECT_FALSE(ShellOpener::Open(QStringLiteral("/bin/true")));
}

} // namespace
