#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

namespace zub {

// Read access to a text in code-page bytes that need not exist as one string: the workbench
// editor holds UTF-16 and hands out only the bytes a command asks for.
class ByteText {
public:
    virtual ~ByteText() = default;
    virtual std::uint64_t size() const = 0;
    // The bytes [offset, offset + count), cut at the end of the text.
    virtual std::string bytes(std::uint64_t offset, std::uint64_t count) const = 0;
};

// A ByteText over a string that does exist.
class StringByteText : public ByteText {
public:
    explicit StringByteText(std::string_view text) : m_text(text) {}
    std::uint64_t size() const override { return m_text.size(); }
    std::string bytes(std::uint64_t offset, std::uint64_t count) const override {
        if (offset >= m_text.size()) return {};
        return std::string(m_text.substr(offset, std::min<std::uint64_t>(count, m_text.size())));
    }

private:
    std::string_view m_text;
};

} // namespace zub
