#pragma once

#include <memory>
#include <string>
#include <string_view>

struct UCollator;

namespace zub {

// The locale's string order at secondary strength: case is ignored, accents are not, and with a
// Chinese locale Chinese sorts by pinyin. Compares code-page byte strings.
class Collator {
public:
    // An empty locale name means the user's locale.
    explicit Collator(const std::string& locale = {});
    ~Collator();
    Collator(const Collator&) = delete;
    Collator& operator=(const Collator&) = delete;

    int compare(std::string_view a, std::string_view b) const;

    // Byte key whose plain byte order (memcmp) is the collation order; for sorting many texts.
    std::string sortKey(std::string_view text) const;

private:
    UCollator* m_collator;
};

} // namespace zub
