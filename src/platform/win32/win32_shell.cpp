#include "platform/win32/win32_shell.h"

#include "platform/windows_text.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// After windows.h, which it builds on.
#include <shellapi.h>

namespace zub {

int Win32Shell::open(std::string_view target) {
    const std::wstring file = win32::wideFromCodePage(target);
    const HINSTANCE result =
        ShellExecuteW(nullptr, L"open", file.c_str(), nullptr, nullptr, SW_SHOW);
    return static_cast<int>(reinterpret_cast<INT_PTR>(result));
}

} // namespace zub
