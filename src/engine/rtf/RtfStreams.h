#pragma once

#include <QByteArray>

#include <cstdint>

namespace richedit::rtf {

// Where the reader takes its bytes from: read() fills up to `capacity` bytes and answers how
// many it delivered (0 at the end), or -1 when the source failed.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual int32_t read(uint8_t* buffer, int32_t capacity) = 0;
};

// Where the writer puts its bytes: write() answers false when the receiver failed; the writer
// then stops.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual bool write(const char* data, int64_t size) = 0;
};

// A sink that keeps everything in memory (for tests and for copying between documents).
class BufferSink : public ByteSink {
public:
    bool write(const char* data, int64_t size) override {
        bytes.append(data, qsizetype(size));
        return true;
    }
    QByteArray bytes;
};

// A source that serves bytes held in memory.
class BufferSource : public ByteSource {
public:
    explicit BufferSource(QByteArray data) : bytes_(std::move(data)) {}
    int32_t read(uint8_t* buffer, int32_t capacity) override;

private:
    QByteArray bytes_;
    qsizetype pos_ = 0;
};

} // namespace richedit::rtf
