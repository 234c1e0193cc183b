#include "framework/PropertyStore.h"
#include "framework/TStringList.h"
#include "framework/TovraException.h"

#include <QJsonArray>

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace {

TEST(PropertyStore, WrittenPropertiesReadBackFromJson) {
    const QString text = QString::fromUtf8("quote \" backslash \\ tab \t line\r\nbreak \u20ac "
                                           "\U0001F600");
    const QStringList lines{"first", "", QString::fromUtf8("\u00e9"), "{\"not\": json}"};
    TWriter writer;
    writer.WriteString(QStringLiteral("Text"), text);
    writer.WriteString(QStringLiteral("Empty"), QString());
    writer.WriteBoolean(QStringLiteral("ReadOnly"), true);
    writer.WriteBoolean(QStringLiteral("WordWrap"), false);
    writer.WriteInteger(QStringLiteral("Min"), std::numeric_limits<int32_t>::min());
    writer.WriteInteger(QStringLiteral("Max"), std::numeric_limits<int32_t>::max());
    writer.WriteInteger(QStringLiteral("Zero"), 0);
    writer.WriteStrings(QStringLiteral("Lines"), lines);
    writer.WriteStrings(QStringLiteral("NoLines"), {});

    for (const auto format : {QJsonDocument::Indented, QJsonDocument::Compact}) {
        const TReader reader = TReader::FromJson(writer.ToJson(format));
        EXPECT_EQ(reader.ReadString(QStringLiteral("Text")), text);
        EXPECT_TRUE(reader.HasProperty(QStringLiteral("Empty")));
        EXPECT_EQ(reader.ReadString(QStringLiteral("Empty"), QStringLiteral("default")), QString());
        EXPECT_TRUE(reader.ReadBoolean(QStringLiteral("ReadOnly")));
        EXPECT_FALSE(reader.ReadBoolean(QStringLiteral("WordWrap"), true));
        EXPECT_EQ(reader.ReadInteger(QStringLiteral("Min")), std::numeric_limits<int32_t>::min());
        EXPECT_EQ(reader.ReadInteger(QStringLiteral("Max")), std::numeric_limits<int32_t>::max());
        EXPECT_EQ(reader.ReadInteger(QStringLiteral("Zero"), 5), 0);
        EXPECT_EQ(reader.ReadStrings(QStringLiteral("Lines")), lines);
        // An empty list is a value, not an absent property.
        EXPECT_EQ(reader.ReadStrings(QStringLiteral("NoLines")), QStringList());
    }
}

TEST(PropertyStore, AbsentPropertiesAnswerTheirDefaults) {
    const TReader reader = TReader::FromJson("{}");
    EXPECT_FALSE(reader.HasProperty(QStringLiteral("Text")));
    EXPECT_EQ(reader.ReadString(QStringLiteral("Text"), QStringLiteral("d")), QStringLiteral("d"));
    EXPECT_TRUE(reader.ReadBoolean(QStringLiteral("B"), true));
    EXPECT_EQ(reader.ReadInteger(QStringLiteral("I"), -7), -7);
    EXPECT_EQ(reader.ReadStrings(QStringLiteral("Lines")), std::nullopt);
}

TEST(PropertyStore, WritingANameAgainReplacesItsValue) {
    TWriter writer;
    writer.WriteString(QStringLiteral("P"), QStringLiteral("first"));
    writer.WriteInteger(QStringLiteral("P"), 2);
    const TReader reader = TReader::FromJson(writer.ToJson());
    EXPECT_EQ(reader.Properties().size(), 1);
    EXPECT_EQ(reader.ReadInteger(QStringLiteral("P")), 2);
}

TEST(PropertyStore, MalformedJsonRaisesAReadError) {
    const QByteArray inputs[] = {
        "",
        "{",
        "{\"a\":}",
        "{\"a\": 1,}",
        "{\"a\": 1} trailing",
        "\xff\xfe{",
        QByteArray(100000, '['),
        "[1, 2]", // JSON, but not an object of properties
        "\"text\"",
        "42",
    };
    for (const QByteArray& input : inputs) {
        try {
            TReader::FromJson(input);
            ADD_FAILURE() << "no error for " << input.left(40).toPercentEncoding().data();
        } catch (const EReadError& error) {
            EXPECT_TRUE(error.Message().startsWith(QStringLiteral("Invalid property data: ")))
                << error.what();
        }
    }
    try {
        TReader::FromJson("{\"a\": 1,\n \"b\" 2}");
        ADD_FAILURE() << "no error for a missing colon";
    } catch (const EReadError& error) {
        EXPECT_TRUE(error.Message().contains(QStringLiteral(" at offset "))) << error.what();
    }
}

TEST(PropertyStore, AValueOfTheWrongKindRaisesAReadErrorNamingIt) {
    const TReader reader = TReader::FromJson(R"({
        "Number": 1, "Fraction": 1.5, "Huge": 3e10, "Text": "x", "Flag": true,
        "Mixed": ["a", 1], "Nested": [["a"]], "Null": null, "Object": {}
    })");
    const std::pair<const char*, std::function<void(const QString&)>> reads[] = {
        {"Number", [&](const QString& n) { reader.ReadString(n); }},
        {"Null", [&](const QString& n) { reader.ReadString(n); }},
        {"Text", [&](const QString& n) { reader.ReadInteger(n); }},
        {"Fraction", [&](const QString& n) { reader.ReadInteger(n); }},
        {"Huge", [&](const QString& n) { reader.ReadInteger(n); }},
        {"Flag", [&](const QString& n) { reader.ReadInteger(n); }},
        {"Number", [&](const QString& n) { reader.ReadBoolean(n); }},
        {"Text", [&](const QString& n) { reader.ReadStrings(n); }},
        {"Mixed", [&](const QString& n) { reader.ReadStrings(n); }},
        {"Nested", [&](const QString& n) { reader.ReadStrings(n); }},
        {"Object", [&](const QString& n) { reader.ReadStrings(n); }},
    };
    for (const auto& [name, read] : reads) {
        try {
            read(QString::fromUtf8(name));
            ADD_FAILURE() << "no error for " << name;
        } catch (const EReadError& error) {
            EXPECT_EQ(
                error.Message(),
                QStringLiteral("Invalid value for property \"%1\"").arg(QString::fromUtf8(name)));
        }
    }
    EXPECT_EQ(reader.ReadInteger(QStringLiteral("Number")), 1);
}

// How a component writes a property only where it differs from its ancestor.
void WriteLines(TWriter& writer, const TStringList& lines) {
    const auto* ancestor = dynamic_cast<const TStringList*>(writer.Ancestor());
    if (ancestor != nullptr && ancestor->Text() == lines.Text())
        return;
    QStringList strings;
    for (int32_t i = 0; i < lines.Count(); ++i)
        strings << lines.Strings(i);
    writer.WriteStrings(QStringLiteral("Lines"), strings);
}

TEST(PropertyStore, TheAncestorLetsAComponentSkipUnchangedValues) {
    TStringList inherited;
    inherited.SetText(QStringLiteral("a\nb"));
    TStringList same;
    same.SetText(QStringLiteral("a\nb"));
    TStringList changed;
    changed.SetText(QStringLiteral("a\nc"));

    TWriter writer;
    EXPECT_EQ(writer.Ancestor(), nullptr);
    writer.SetAncestor(&inherited);
    WriteLines(writer, same);
    EXPECT_FALSE(TReader::FromJson(writer.ToJson()).HasProperty(QStringLiteral("Lines")));
    WriteLines(writer, changed);
    EXPECT_EQ(TReader::FromJson(writer.ToJson()).ReadStrings(QStringLiteral("Lines")),
              (QStringList{"a", "c"}));
}

} // namespace
