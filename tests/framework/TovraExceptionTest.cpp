#include "framework/TovraException.h"

#include <gtest/gtest.h>

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

} // namespace
