#include "platform/qt_text.h"
#include "platform/x11/x11_clipboard.h"
#include "x11_test.h"
#include "x11_tools.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>

using namespace zub;
using namespace zub::e2e;

namespace {

std::string bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s.push_back(static_cast<char>(v));
    return s;
}

QImage picture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::blue);
    return image;
}

std::string png(const QImage& image) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return data.toStdString();
}

class X11ClipboardTest : public X11Test {
protected:
    // Waits until the clipboard reads `expected`; the change arrives through the event loop.
    bool readsText(X11Clipboard& clipboard, const std::string& expected) {
        return waitUntil([&] { return clipboard.readText() == expected; });
    }
};

} // namespace

TEST_F(X11ClipboardTest, ReadsWhatAnotherProgramCopiedAsCodePageBytes) {
    X11Clipboard clipboard;

    auto owner = copyWithXclip("中文");
    ASSERT_TRUE(owner);
    EXPECT_TRUE(readsText(clipboard, bytes({0xD6, 0xD0, 0xCE, 0xC4})));
    EXPECT_TRUE(clipboard.offersText());
    EXPECT_FALSE(clipboard.offersBitmap());

    // Not in CP936: its GB18030 sequence, never a question mark.
    owner = copyWithXclip("😀");
    ASSERT_TRUE(owner);
    EXPECT_TRUE(readsText(clipboard, bytes({0x94, 0x39, 0xFC, 0x36})));

    owner = copyWithXclip(std::string("ab\0cd", 5));
    ASSERT_TRUE(owner);
    EXPECT_TRUE(readsText(clipboard, "ab"));
}

TEST_F(X11ClipboardTest, KeepsTheTextWhenTheProgramThatCopiedItQuits) {
    X11Clipboard clipboard;
    int changes = 0;
    QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, [&] { ++changes; });

    auto owner = copyWithXclip("kept");
    ASSERT_TRUE(owner);
    ASSERT_TRUE(readsText(clipboard, "kept"));
    const int before = changes;

    owner.reset();
    ASSERT_TRUE(waitUntil([&] { return changes > before; }));
    EXPECT_EQ(readWithXclip(), std::nullopt); // nobody serves it any more
    EXPECT_TRUE(clipboard.offersText());
    EXPECT_EQ(clipboard.readText(), "kept");

    // Emptying it on purpose forgets it.
    clipboard.empty();
    EXPECT_FALSE(clipboard.offersText());
    EXPECT_EQ(clipboard.readText(), "");
}

TEST_F(X11ClipboardTest, TextItWritesIsWhatOtherProgramsPaste) {
    X11Clipboard clipboard;
    clipboard.setText(fromQString(QStringLiteral("中文 ok 😀")));
    EXPECT_EQ(readWithXclip(), "中文 ok 😀");
    EXPECT_EQ(clipboard.readText(), fromQString(QStringLiteral("中文 ok 😀")));

    clipboard.empty();
    EXPECT_FALSE(clipboard.offersText());
    EXPECT_EQ(readWithXclip(), std::nullopt);
}

TEST_F(X11ClipboardTest, CarriesPicturesBothWays) {
    X11Clipboard clipboard;

    auto owner = copyWithXclip(png(picture(3, 2)), QStringLiteral("image/png"));
    ASSERT_TRUE(owner);
    ASSERT_TRUE(waitUntil([&] { return clipboard.offersBitmap(); }));
    EXPECT_EQ(clipboard.readBitmap().size(), QSize(3, 2));
    EXPECT_EQ(clipboard.readBitmap().pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_FALSE(clipboard.offersText());

    clipboard.setBitmap(picture(5, 4));
    const std::optional<std::string> pasted = readWithXclip(QStringLiteral("image/png"));
    ASSERT_TRUE(pasted);
    EXPECT_EQ(QImage::fromData(QByteArray::fromStdString(*pasted)).size(), QSize(5, 4));
    EXPECT_TRUE(clipboard.offersBitmap());
    EXPECT_FALSE(clipboard.offersText());
}
