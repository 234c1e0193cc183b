#pragma once

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <utility>

class QObject;

// What writing and reading component properties share: the ancestor, the object whose values
// count as the defaults. A component writes a property only when its value differs from the
// ancestor's (or, without an ancestor, from the property's default), so that stored data holds
// what was changed and nothing else.
class TFiler {
public:
    const QObject* Ancestor() const { return FAncestor; }
    void SetAncestor(const QObject* Value) { FAncestor = Value; }

protected:
    TFiler() = default;
    ~TFiler() = default;
    TFiler(const TFiler&) = default;
    TFiler& operator=(const TFiler&) = default;

private:
    const QObject* FAncestor = nullptr;
};

// Collects named property values into a JSON object. Writing a name again replaces its value.
class TWriter : public TFiler {
public:
    void WriteString(const QString& Name, const QString& Value);
    void WriteBoolean(const QString& Name, bool Value);
    void WriteInteger(const QString& Name, int32_t Value);
    // A list of strings, written as a JSON array of strings.
    void WriteStrings(const QString& Name, const QStringList& Value);

    const QJsonObject& Properties() const { return FProperties; }
    // The properties as JSON text in UTF-8.
    QByteArray ToJson(QJsonDocument::JsonFormat Format = QJsonDocument::Indented) const;

private:
    QJsonObject FProperties;
};

// Reads back the properties a TWriter wrote. A property that is absent answers the default the
// caller gives; a property whose value has the wrong kind (a number where a string belongs, a
// fraction where an integer belongs) raises EReadError naming it.
class TReader : public TFiler {
public:
    TReader() = default;
    explicit TReader(QJsonObject Properties) : FProperties(std::move(Properties)) {}

    // Parses JSON text. Text that is not JSON, or JSON that is not an object, raises EReadError
    // with the parser's reason and the byte offset where it stopped.
    static TReader FromJson(const QByteArray& Json);

    bool HasProperty(const QString& Name) const { return FProperties.contains(Name); }
    QString ReadString(const QString& Name, const QString& Default = QString()) const;
    bool ReadBoolean(const QString& Name, bool Default = false) const;
    int32_t ReadInteger(const QString& Name, int32_t Default = 0) const;
    // The list of strings, or nothing when the property is absent.
    std::optional<QStringList> ReadStrings(const QString& Name) const;

    const QJsonObject& Properties() const { return FProperties; }

private:
    QJsonObject FProperties;
};
