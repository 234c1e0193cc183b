#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <type_traits>
#include <typeinfo>

class QIODevice;

// The hook every byte of a file load or save of an editor's lines passes through. The base class
// hands the bytes on unchanged; a descendant that translates a foreign file format into Rich
// Text Format (or plain text) on the fly overrides both operations.
class TTovraConversion {
public:
    TTovraConversion() = default;
    virtual ~TTovraConversion();
    TTovraConversion(const TTovraConversion&) = delete;
    TTovraConversion& operator=(const TTovraConversion&) = delete;

    // Reads at most BufSize bytes from Stream into Buffer and answers the number of bytes
    // delivered, 0 at the end of the input. The base class performs one read of the stream; a
    // stream that fails to read raises EReadError.
    virtual int32_t ConvertReadStream(QIODevice& Stream, char* Buffer, int32_t BufSize);
    // Takes BufSize bytes the engine produced and writes them to Stream; answers the number of
    // bytes consumed. The base class performs one write to the stream; a stream that refuses
    // the bytes raises EWriteError.
    virtual int32_t ConvertWriteStream(QIODevice& Stream, const char* Buffer, int32_t BufSize);
};

// A reference to TTovraConversion or a descendant: conversion classes are registered and
// instantiated through it. Two references are equal when they name the same class. A default
// reference names no class and creates nothing.
class TTovraConversionClass {
public:
    constexpr TTovraConversionClass() = default;

    // The reference to class T, which must derive from TTovraConversion and be default
    // constructible.
    template <class T> static TTovraConversionClass Of() {
        static_assert(std::is_base_of_v<TTovraConversion, T>);
        return TTovraConversionClass(
            &typeid(T), [] { return std::unique_ptr<TTovraConversion>(std::make_unique<T>()); });
    }

    // A new instance of the class (nullptr for a reference to no class).
    std::unique_ptr<TTovraConversion> Create() const { return FCreate ? FCreate() : nullptr; }

    explicit operator bool() const { return FType != nullptr; }
    friend bool operator==(const TTovraConversionClass& a, const TTovraConversionClass& b) {
        return a.FType == b.FType || (a.FType && b.FType && *a.FType == *b.FType);
    }

private:
    using Factory = std::unique_ptr<TTovraConversion> (*)();
    TTovraConversionClass(const std::type_info* type, Factory create)
        : FType(type), FCreate(create) {}

    const std::type_info* FType = nullptr;
    Factory FCreate = nullptr;
};

// One registration of a conversion class for a file extension (lower case, without the leading
// dot). The registrations form one process-wide singly linked list, newest first. It starts
// with two entries, {TTovraConversion, "txt"} and then {TTovraConversion, "rtf"}; entries added
// by TTovraCustomRichEdit::RegisterConversionFormat go to its head and live until the program
// ends.
struct TTovraConversionFormat {
    TTovraConversionClass ConversionClass;
    QString Extension;
    TTovraConversionFormat* Next = nullptr;
};

// The head of the registration list.
TTovraConversionFormat* ConversionFormatList();

// The registration a file name's extension selects: the first entry, from the head, whose
// extension equals the name's (lower-cased, without its dot); the initial "txt" entry when none
// does.
const TTovraConversionFormat& FindConversionFormat(const QString& FileName);
