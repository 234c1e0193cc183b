#pragma once

#include <QString>

#include <stdexcept>

// The error the components raise with a text: a message from the string table or from the
// platform. what() answers the message in UTF-8; Message() answers it as it was given.
class ETovraError : public std::runtime_error {
public:
    explicit ETovraError(const QString& message)
        : std::runtime_error(message.toStdString()), FMessage(message) {}

    const QString& Message() const noexcept { return FMessage; }

private:
    QString FMessage;
};
