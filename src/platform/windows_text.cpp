#include "platform/windows_text.h"

#include "text/codepage.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace zub::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

std::wstring wideFromCodePage(std::string_view bytes) {
    const std::u16string text = cp::toUtf16(bytes);
    return std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}

std::string codePageFromWide(std::wstring_view text) {
    return cp::fromUtf16(
        std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()));
}

std::string utf8FromWide(std::wstring_view text) {
    if (text.empty()) return {};
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(),
                        length, nullptr, nullptr);
    return result;
}

std::string systemErrorText(unsigned long error) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text(buffer ? buffer : L"", length);
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.pop_back();
    if (text.empty()) return "System error " + std::to_string(error);
    return utf8FromWide(text);
}

} // namespace zub::win32
