#pragma once

#include "platform/error.h"

#include <cstdint>
#include <string_view>

namespace zub {

// Little-endian fields of an untrusted file. Every read names its offset and is checked against
// the end of the file; a read past it fails with the format's "not valid" message.
class FieldReader {
public:
    FieldReader(std::string_view bytes, const char* notValid)
        : m_bytes(bytes), m_notValid(notValid) {}

    std::uint64_t size() const { return m_bytes.size(); }
    bool has(std::uint64_t offset, std::uint64_t length) const {
        return offset <= m_bytes.size() && length <= m_bytes.size() - offset;
    }
    [[noreturn]] void fail() const { throw Error(m_notValid); }
    void require(bool condition) const {
        if (!condition) fail();
    }

    std::uint8_t u8(std::uint64_t offset) const { return byte(offset, 1); }
    std::uint16_t u16(std::uint64_t offset) const {
        return static_cast<std::uint16_t>(byte(offset, 2) | byte(offset + 1, 1) << 8);
    }
    std::uint32_t u32(std::uint64_t offset) const {
        return static_cast<std::uint32_t>(u16(offset + 2)) << 16 | u16(offset);
    }
    std::int16_t i16(std::uint64_t offset) const { return static_cast<std::int16_t>(u16(offset)); }
    std::int32_t i32(std::uint64_t offset) const { return static_cast<std::int32_t>(u32(offset)); }

    // `length` bytes from `offset`, all inside the file.
    std::string_view slice(std::uint64_t offset, std::uint64_t length) const {
        require(has(offset, length));
        return m_bytes.substr(offset, length);
    }
    std::string_view bytes() const { return m_bytes; }

private:
    // The byte at `offset`, after checking that `length` bytes from there are in the file.
    std::uint32_t byte(std::uint64_t offset, std::uint64_t length) const {
        require(has(offset, length));
        return static_cast<unsigned char>(m_bytes[offset]);
    }

    std::string_view m_bytes;
    const char* m_notValid;
};

} // namespace zub
