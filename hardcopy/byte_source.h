// Bytes read front to back, from memory or from an open file, for the
// readers that walk a whole file once or a few times: the file-kind
// detection and its text scans, and the plot-file scanners. A file is read
// in blocks of a fixed size, so that a reader's memory does not grow with the
// file; positions are counted in 64 bits. No Win32 here.
#pragma once

#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>
#include <vector>

// Opens the file NAME (leading and trailing blanks and NULs ignored) for
// reading: the handle, or -1 with the system's code in ERR (0 for a blank
// name, which names no file).
int ByteFileOpen(std::string_view name, int& err);

class ByteSource {
public:
    virtual ~ByteSource() = default;

    // The next byte, or -1 at the end (or after a failed read).
    int Get()
    {
        if (at_ == end_ && !Refill())
            return -1;
        return *at_++;
    }

    // The next N bytes into DST (discarded when DST is null); false when
    // fewer came. Bytes that came are copied even then.
    bool Take(std::uint8_t* dst, std::int64_t n)
    {
        while (n > 0) {
            if (at_ == end_ && !Refill())
                return false;
            const std::int64_t k = n < end_ - at_ ? n : end_ - at_;
            if (dst) {
                std::memcpy(dst, at_, static_cast<std::size_t>(k));
                dst += k;
            }
            at_ += k;
            n -= k;
        }
        return true;
    }

    // The bytes at hand from the current position on (refilled when none
    // are left); empty at the end. Skip(n) then moves past n of them.
    std::span<const std::uint8_t> Peek()
    {
        if (at_ == end_ && !Refill())
            return {};
        return {at_, static_cast<std::size_t>(end_ - at_)};
    }
    void Skip(std::size_t n) { at_ += n; }

    // Back to the first byte; false when that fails (READERROR is then set).
    virtual bool Rewind() = 0;

    // The system's code of a failed read or seek; 0 when the bytes only ended.
    int readError = 0;

protected:
    // Makes the next bytes available in at_..end_; false when there are none.
    virtual bool Refill() = 0;
    const std::uint8_t* at_ = nullptr;
    const std::uint8_t* end_ = nullptr;
};

// The bytes of a buffer.
class SpanSource : public ByteSource {
public:
    explicit SpanSource(std::span<const std::uint8_t> bytes) : bytes_(bytes) { Rewind(); }
    bool Rewind() override
    {
        at_ = bytes_.data();
        end_ = bytes_.data() + bytes_.size();
        return true;
    }

protected:
    bool Refill() override { return false; }

private:
    std::span<const std::uint8_t> bytes_;
};

// The bytes of a file opened for reading (the caller opens and closes it),
// read in blocks of 64 KiB through the operating-system file wrappers.
class FileSource : public ByteSource {
public:
    explicit FileSource(int handle) : handle_(handle) {}
    bool Rewind() override;

protected:
    bool Refill() override;

private:
    int handle_;
    std::vector<std::uint8_t> block_ = std::vector<std::uint8_t>(std::size_t(1) << 16);
};
