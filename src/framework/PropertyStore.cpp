#include "framework/PropertyStore.h"

#include "framework/TovraException.h"

#include <QJsonArray>
#include <QJsonParseError>
#include <QJsonValue>

#include <cmath>
#include <limits>

namespace {

[[noreturn]] void RaiseInvalidValue(const QString& name) {
    throw EReadError(QStringLiteral("Invalid value for property \"%1\"").arg(name));
}

} // namespace

void TWriter::WriteString(const QString& Name, const QString& Value) {
    FProperties.insert(Name, Value);
}

void TWriter::WriteBoolean(const QString& Name, bool Value) {
    FProperties.insert(Name, Value);
}

void TWriter::WriteInteger(const QString& Name, int32_t Value) {
    FProperties.insert(Name, static_cast<qint64>(Value));
}

void TWriter::WriteStrings(const QString& Name, const QStringList& Value) {
    FProperties.insert(Name, QJsonArray::fromStringList(Value));
}

QByteArray TWriter::ToJson(QJsonDocument::JsonFormat Format) const {
    return QJsonDocument(FProperties).toJson(Format);
}

TReader TReader::FromJson(const QByteArray& Json) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(Json, &error);
    if (error.error != QJsonParseError::NoError) {
        throw EReadError(QStringLiteral("Invalid property data: %1 at offset %2")
                             .arg(error.errorString())
                             .arg(error.offset));
    }
    if (!document.isObject())
        throw EReadError(QStringLiteral("Invalid property data: not an object"));
    return TReader(document.object());
}

QString TReader::ReadString(const QString& Name, const QString& Default) const {
    const auto it = FProperties.constFind(Name);
    if (it == FProperties.constEnd())
        return Default;
    if (!it->isString())
        RaiseInvalidValue(Name);
    return it->toString();
}

bool TReader::ReadBoolean(const QString& Name, bool Default) const {
    const auto it = FProperties.constFind(Name);
    if (it == FProperties.constEnd())
        return Default;
    if (!it->isBool())
        RaiseInvalidValue(Name);
    return it->toBool();
}

int32_t TReader::ReadInteger(const QString& Name, int32_t Default) const {
    const auto it = FProperties.constFind(Name);
    if (it == FProperties.constEnd())
        return Default;
    if (!it->isDouble())
        RaiseInvalidValue(Name);
    const double value = it->toDouble();
    if (value != std::floor(value) || value < std::numeric_limits<int32_t>::min() ||
        value > std::numeric_limits<int32_t>::max())
        RaiseInvalidValue(Name);
    return static_cast<int32_t>(value);
}

std::optional<QStringList> TReader::ReadStrings(const QString& Name) const {
    const auto it = FProperties.constFind(Name);
    if (it == FProperties.constEnd())
        return std::nullopt;
    if (!it->isArray())
        RaiseInvalidValue(Name);
    const QJsonArray array = it->toArray();
    QStringList strings;
    strings.reserve(array.size());
    for (const QJsonValue& item : array) {
        if (!item.isString())
            RaiseInvalidValue(Name);
        strings << item.toString();
    }
    return strings;
}
