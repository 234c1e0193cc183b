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

// The system ran out of a resource it needed to finish a request, for example when the text
// engine does not take or give a whole stream ("Failed to Save Stream").
class EOutOfResources : public ETovraError {
public:
    using ETovraError::ETovraError;
};

// A value could not be converted or assigned to the requested kind.
class EConvertError : public ETovraError {
public:
    using ETovraError::ETovraError;
};

// An index outside a list's items.
class EListError : public ETovraError {
public:
    using ETovraError::ETovraError;
};

// An index outside a string list's lines: "List index out of bounds (%d)".
class EStringListError : public EListError {
public:
    explicit EStringListError(int index)
        : EListError(QStringLiteral("List index out of bounds (%1)").arg(index)) {}
};

// Errors of streams: reading, writing, and files that cannot be opened or created.
class EStreamError : public ETovraError {
public:
    using ETovraError::ETovraError;
};

// A stream did not give the bytes asked for, or held data that cannot be read.
class EReadError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

// A stream did not take all the bytes written to it. The text is the device's own reason.
class EWriteError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

// A file stream's file could not be opened or created.
class EFileStreamError : public EStreamError {
public:
    EFileStreamError(const QString& message, const QString& fileName)
        : EStreamError(message), FFileName(fileName) {}

    const QString& FileName() const noexcept { return FFileName; }

private:
    QString FFileName;
};

// "Cannot open file "%s". %s": the file's name and the system's reason.
class EFOpenError : public EFileStreamError {
public:
    EFOpenError(const QString& fileName, const QString& reason)
        : EFileStreamError(
              QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, reason).trimmed(),
              fileName) {}
};

// "Cannot create file "%s". %s": the file's name and the system's reason.
class EFCreateError : public EFileStreamError {
public:
    EFCreateError(const QString& fileName, const QString& reason)
        : EFileStreamError(
              QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, reason).trimmed(),
              fileName) {}
};

// Raises the error of an assignment between two kinds of object that do not take each other's
// values: "Cannot assign a <source> to a <destination>". An absent source (an empty name) is
// named "nil".
[[noreturn]] inline void RaiseAssignError(const QString& sourceClassName,
                                          const QString& destClassName) {
    const QString source = sourceClassName.isEmpty() ? QStringLiteral("nil") : sourceClassName;
    throw EConvertError(QStringLiteral("Cannot assign a %1 to a %2").arg(source, destClassName));
}
