#include "platform/win32/win32_clipboard.h"

#include "platform/error.h"
#include "platform/windows_text.h"
#include "text/codepage.h"

#include <QBuffer>
#include <QByteArray>

#include <cstdlib>
#include <cstring>
#include <thread>

namespace zub {
namespace {

constexpr const char* kCannotOpenClipboard = "Cannot open clipboard";
// Pictures larger than this are not read: a bitmap of more pixels could take the memory of
// the whole program (16384 × 16384).
constexpr std::uint64_t kMaxBitmapPixels = std::uint64_t{1} << 28;

// The data of one clipboard format, locked for reading while this lives.
class LockedData {
public:
    explicit LockedData(UINT format)
        : m_handle(GetClipboardData(format)),
          m_data(m_handle ? static_cast<const char*>(GlobalLock(m_handle)) : nullptr),
          m_size(m_data ? GlobalSize(m_handle) : 0) {}
    ~LockedData() {
        if (m_data) GlobalUnlock(m_handle);
    }
    LockedData(const LockedData&) = delete;
    LockedData& operator=(const LockedData&) = delete;
    const char* data() const { return m_data; }
    std::size_t size() const { return m_size; }

private:
    HANDLE m_handle;
    const char* m_data;
    std::size_t m_size;
};

// Moveable global memory holding `bytes`, as SetClipboardData takes it; null when refused.
HGLOBAL globalCopy(const void* bytes, std::size_t size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!memory) return nullptr;
    if (void* target = GlobalLock(memory)) {
        std::memcpy(target, bytes, size);
        GlobalUnlock(memory);
        return memory;
    }
    GlobalFree(memory);
    return nullptr;
}

void put(UINT format, const void* bytes, std::size_t size) {
    if (HGLOBAL memory = globalCopy(bytes, size))
        if (!SetClipboardData(format, memory)) GlobalFree(memory);
}

std::uint32_t u32(const char* p) {
    std::uint32_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

std::int32_t i32(const char* p) {
    return static_cast<std::int32_t>(u32(p));
}

std::uint16_t u16(const char* p) {
    std::uint16_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

// A device-independent bitmap (what CF_DIB holds: a header, colours, pixels) as a bitmap file,
// for Qt's bitmap reader. Empty for a header that makes no sense or a picture beyond the pixel
// budget.
QByteArray bitmapFileFromDib(const char* dib, std::size_t size) {
    if (size < 12) return {};
    const std::uint32_t headerSize = u32(dib);
    std::uint64_t width = 0, height = 0, colours = 0, masks = 0;
    unsigned bitCount = 0;
    if (headerSize == 12) {
        width = u16(dib + 4);
        height = u16(dib + 6);
        bitCount = u16(dib + 10);
        if (bitCount <= 8) colours = (std::uint64_t{1} << bitCount) * 3;
    } else if (headerSize >= 40 && headerSize <= size) {
        width = static_cast<std::uint64_t>(std::abs(static_cast<std::int64_t>(i32(dib + 4))));
        height = static_cast<std::uint64_t>(std::abs(static_cast<std::int64_t>(i32(dib + 8))));
        bitCount = u16(dib + 14);
        const std::uint32_t compression = u32(dib + 16);
        const std::uint32_t used = u32(dib + 32);
        if (headerSize == 40 && compression == BI_BITFIELDS) masks = 12;
        if (bitCount <= 8) colours = std::uint64_t{used ? used : (1u << bitCount)} * 4;
    } else {
        return {};
    }
    if (width == 0 || height == 0 || width * height > kMaxBitmapPixels) return {};
    const std::uint64_t offset = 14 + headerSize + masks + colours;
    if (offset - 14 > size) return {};
    QByteArray file;
    file.reserve(static_cast<qsizetype>(14 + size));
    file.append("BM", 2);
    const auto append32 = [&file](std::uint32_t value) {
        file.append(reinterpret_cast<const char*>(&value), 4);
    };
    append32(static_cast<std::uint32_t>(14 + size));
    append32(0);
    append32(static_cast<std::uint32_t>(offset));
    file.append(dib, static_cast<qsizetype>(size));
    return file;
}

QImage imageFromDib(const char* dib, std::size_t size) {
    const QByteArray file = bitmapFileFromDib(dib, size);
    return file.isEmpty() ? QImage() : QImage::fromData(file, "BMP");
}

// The image as CF_DIB: a bitmap file without its file header.
QByteArray dibFromImage(const QImage& image) {
    QByteArray file;
    QBuffer buffer(&file);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "BMP") || file.size() <= 14) return {};
    return file.mid(14);
}

} // namespace

class Win32Clipboard::Session {
public:
    explicit Session(Win32Clipboard& clipboard) : m_clipboard(clipboard) { m_clipboard.open(); }
    ~Session() { m_clipboard.close(); }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

private:
    Win32Clipboard& m_clipboard;
};

Win32Clipboard::Win32Clipboard()
    : m_window([](UINT, WPARAM, LPARAM) { return false; }),
      m_exactText(RegisterClipboardFormatW(L"Zub Code Page Text")),
      m_png(RegisterClipboardFormatW(L"PNG")),
      m_excludeFromMonitors(
          RegisterClipboardFormatW(L"ExcludeClipboardContentFromMonitorProcessing")),
      m_viewerIgnore(RegisterClipboardFormatW(L"Clipboard Viewer Ignore")),
      m_historyPermission(RegisterClipboardFormatW(L"CanIncludeInClipboardHistory")) {}

Win32Clipboard::~Win32Clipboard() {
    if (m_openCount > 0) CloseClipboard();
}

bool Win32Clipboard::offersText() const {
    return IsClipboardFormatAvailable(CF_UNICODETEXT) || IsClipboardFormatAvailable(CF_TEXT) ||
           IsClipboardFormatAvailable(CF_OEMTEXT);
}

bool Win32Clipboard::offersBitmap() const {
    return IsClipboardFormatAvailable(CF_DIB) || IsClipboardFormatAvailable(CF_BITMAP) ||
           IsClipboardFormatAvailable(CF_DIBV5) || (m_png && IsClipboardFormatAvailable(m_png));
}

bool Win32Clipboard::isSecret() const {
    if (IsClipboardFormatAvailable(m_excludeFromMonitors) ||
        IsClipboardFormatAvailable(m_viewerIgnore))
        return true;
    if (!IsClipboardFormatAvailable(m_historyPermission)) return false;
    // Asking never fails: a clipboard held by another program tells nothing more.
    if (m_openCount == 0 && !OpenClipboard(m_window.handle())) return false;
    bool secret = false;
    {
        const LockedData permission(m_historyPermission);
        secret = permission.size() >= 4 && u32(permission.data()) == 0;
    }
    if (m_openCount == 0) CloseClipboard();
    return secret;
}

std::string Win32Clipboard::readText() {
    const Session session(*this);
    if (IsClipboardFormatAvailable(m_exactText)) {
        const LockedData exact(m_exactText);
        if (exact.data()) {
            const char* end = static_cast<const char*>(std::memchr(exact.data(), 0, exact.size()));
            return std::string(exact.data(), end ? end : exact.data() + exact.size());
        }
    }
    if (IsClipboardFormatAvailable(CF_UNICODETEXT)) {
        const LockedData unicode(CF_UNICODETEXT);
        const auto* text = reinterpret_cast<const wchar_t*>(unicode.data());
        const std::size_t room = unicode.size() / sizeof(wchar_t);
        std::size_t length = 0;
        while (length < room && text[length] != 0) ++length;
        return win32::codePageFromWide(std::wstring_view(text ? text : L"", length));
    }
    // The system makes Unicode text of any CF_TEXT; this is for one that did not.
    const LockedData ansi(CF_TEXT);
    if (!ansi.data()) return {};
    const std::size_t length = strnlen(ansi.data(), ansi.size());
    if (length == 0) return {};
    std::wstring wide(length, L'\0');
    const int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(length), wide.data(),
                                      static_cast<int>(length));
    wide.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return win32::codePageFromWide(wide);
}

QImage Win32Clipboard::readBitmap() {
    const Session session(*this);
    if (IsClipboardFormatAvailable(CF_DIB)) {
        const LockedData dib(CF_DIB);
        if (dib.data()) return imageFromDib(dib.data(), dib.size());
    }
    if (m_png && IsClipboardFormatAvailable(m_png)) {
        const LockedData png(m_png);
        if (png.data()) {
            QImage image = QImage::fromData(QByteArrayView(png.data(), png.size()), "PNG");
            if (static_cast<std::uint64_t>(image.width()) * image.height() <= kMaxBitmapPixels)
                return image;
        }
    }
    return {};
}

QByteArray Win32Clipboard::readEncodedBitmap() {
    // What another program copied is decoded off the window's thread, where a large or hostile
    // picture costs the window nothing: a CF_DIB as the bitmap file it makes (a copy of its
    // bytes behind a file header), or a PNG (Wine's bridge serves X's image/png so). A DIB whose
    // header makes no sense gives nothing here, and readBitmap() then nothing either.
    const Session session(*this);
    if (IsClipboardFormatAvailable(CF_DIB)) {
        const LockedData dib(CF_DIB);
        return dib.data() ? bitmapFileFromDib(dib.data(), dib.size()) : QByteArray();
    }
    if (!m_png || !IsClipboardFormatAvailable(m_png)) return {};
    const LockedData png(m_png);
    if (!png.data()) return {};
    return QByteArray(png.data(), static_cast<qsizetype>(png.size()));
}

void Win32Clipboard::openOrThrow() {
    // Another program (or a clipboard tool) may hold the clipboard for a moment.
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (OpenClipboard(m_window.handle())) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    throw Error(kCannotOpenClipboard);
}

void Win32Clipboard::open() {
    if (m_openCount == 0) openOrThrow();
    ++m_openCount;
}

void Win32Clipboard::close() {
    if (m_openCount == 0) return;
    // The viewers hear of a change here, when the system sees the clipboard closed.
    if (--m_openCount == 0) CloseClipboard();
}

void Win32Clipboard::empty() {
    const Session session(*this);
    EmptyClipboard();
}

void Win32Clipboard::setText(std::string_view bytes) {
    const Session session(*this);
    EmptyClipboard();
    const std::string_view text = bytes.substr(0, bytes.find('\0'));
    // Other programs know only Unicode: a byte that is no character becomes U+FFFD. The bytes
    // themselves cross in the program's own format below.
    std::wstring wide = win32::wideFromCodePage(text);
    for (wchar_t& c : wide)
        if (cp::isEscapedByte(static_cast<char16_t>(c))) c = 0xFFFD;
    put(CF_UNICODETEXT, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    // The text in the system's own code page, as the system would have made it for programs that
    // read CF_TEXT: the same bytes on a Chinese system.
    const int length = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(std::max(length, 0)), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), ansi.data(), length,
                        nullptr, nullptr);
    put(CF_TEXT, ansi.c_str(), ansi.size() + 1);
    put(m_exactText, std::string(text).c_str(), text.size() + 1);
}

void Win32Clipboard::setBitmap(const QImage& image) {
    const Session session(*this);
    EmptyClipboard();
    const QByteArray dib = dibFromImage(image);
    if (!dib.isEmpty()) put(CF_DIB, dib.constData(), static_cast<std::size_t>(dib.size()));
}

} // namespace zub
