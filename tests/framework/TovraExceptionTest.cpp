#include "framework/TovraException.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

TEST(ETovraError, CarriesItsMessageAsTextAndAsUtf8) {
    const QString message = QString::fromUtf8("Failed to Save Stream \u00e9");
    try {
        throw ETovraError(message);
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Failed to Save Stream \xc3\xa9");
        const auto* tovra = dynamic_cast<const ETovraError*>(&error);
        ASSERT_NE(tovra, nullptr);
        EXPECT_EQ(tovra->Message(), message);
    }
}

TEST(ETovraError, AssignErrorsNameSourceAndDestination) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"TStringList", "TTextAttributes", "Cannot assign a TStringList to a TTextAttributes"},
        {"", "TStringList", "Cannot assign a nil to a TStringList"},
        {"%2", "%1", "Cannot assign a %2 to a %1"}, // names are not read as placeholders
    };
    for (const auto& [source, destination, message] : cases) {
        try {
            RaiseAssignError(QString::fromUtf8(source), QString::fromUtf8(destination));
        } catch (const EConvertError& error) {
            EXPECT_EQ(error.Message(), QString::fromUtf8(message));
        }
    }
}

TEST(ETovraError, FileErrorsNameTheFileAndTheReason) {
    const EFOpenError open(QStringLiteral("/tmp/a%2b.txt"), QStringLiteral("No such file"));
    EXPECT_EQ(open.Message(), QStringLiteral("Cannot open file \"/tmp/a%2b.txt\". No such file"));
    EXPECT_EQ(open.FileName(), QStringLiteral("/tmp/a%2b.txt"));
    const EFCreateError create(QStringLiteral("out.txt"), QStringLiteral("Permission denied"));
    EXPECT_EQ(create.Message(),
              QStringLiteral("Cannot create file \"out.txt\". Permission denied"));
    // Without a reason the text ends after the name.
    EXPECT_EQ(EFCreateError(QStringLiteral("x"), QString()).Message(),
              QStringLiteral("Cannot create file \"x\"."));
    const EStreamError& asStreamError = open;
    EXPECT_NE(dynamic_cast<const ETovraError*>(&asStreamError), nullptr);
}

TEST(ETovraError, ListIndexErrorsQuoteTheIndex) {
    EXPECT_EQ(EStringListError(-3).Message(), QStringLiteral("List index out of bounds (-3)"));
    const EListError& asListError = EStringListError(7);
    EXPECT_STREQ(asListError.what(), "List index out of bounds (7)");
}

} // namespace
