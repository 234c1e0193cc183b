#include "resources/TovraStrings.h"

#include <gtest/gtest.h>

namespace {

struct TStringCase {
    int Id;
    const char* Text;
};

TEST(TovraStrings, AnswersTheTextOfEachNumber) {
    const TStringCase cases[] = {
        {65040, "Font"},
        {65044, "%d occurences were replaced."},
        {65053, "%s Properties"},
        {65089, "Left,Center,Right"},
        {65100, "single,one-and-half,double,minimum,exactly,multiplier"},
        {65102, "&Tabstops"},
        {65104, "Points"},
        {65105, "Inches x 100"},
        {65106, "Millimeters"},
        {65118, "BookMarks"},
        {65119, "Paragraph"},
    };
    for (const TStringCase& c : cases)
        EXPECT_EQ(LoadStr(c.Id), QString::fromUtf8(c.Text)) << "string " << c.Id;
}

TEST(TovraStrings, NamedNumbersReachTheirTexts) {
    EXPECT_EQ(LoadStr(sidUnitPoints), QStringLiteral("Points"));
    EXPECT_EQ(LoadStr(sidSearchNotFound), QStringLiteral("Search string not found!"));
    EXPECT_EQ(LoadStr(sidUntitledDocument), QStringLiteral("document"));
}

TEST(TovraStrings, UnknownNumbersAreEmpty) {
    for (int id : {0, -1, 65039, 65054, 65055, 65120, 1000000})
        EXPECT_TRUE(LoadStr(id).isEmpty()) << "string " << id;
}

} // namespace
