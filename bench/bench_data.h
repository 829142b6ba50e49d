#pragma once

// Deterministic test data: entries of an exact byte length that mix ASCII with Chinese.

#include "text/codepage.h"

#include <random>
#include <string>
#include <vector>

namespace zub::bench {

inline std::vector<std::string> mixedEntries(std::size_t count, std::size_t length = 40,
                                             unsigned seed = 42) {
    static const std::u16string chinese =
        u"剪贴板记录中文字符测试排序整理反选删除注释文档图像设置自动手动捕获";
    std::mt19937 random(seed);
    std::vector<std::string> entries;
    entries.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::string s = std::to_string(i) + ' ';
        while (s.size() < length) {
            if (s.size() + 2 <= length && random() % 2 == 0) {
                s += cp::fromUtf16(std::u16string(1, chinese[random() % chinese.size()]));
            } else {
                s += static_cast<char>('a' + random() % 26 - (random() % 4 == 0 ? 32 : 0));
            }
        }
        entries.push_back(std::move(s));
    }
    return entries;
}

// Mixed entries where about 30 % repeat an earlier one and one in a hundred has blanks, tabs or
// line breaks around it for Tidy's trim to take off.
inline std::vector<std::string> tidyEntries(std::size_t count) {
    std::vector<std::string> entries = mixedEntries(count);
    std::mt19937 random(7);
    for (std::size_t i = 1; i < entries.size(); ++i) {
        if (random() % 10 < 3)
            entries[i] = entries[random() % i];
        else if (random() % 100 == 0)
            entries[i] = " \t" + entries[i] + "\r\n";
    }
    return entries;
}

} // namespace zub::bench
