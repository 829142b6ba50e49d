#include "images/picture_files.h"
#include "picture_test_files.h"
#include "platform/error.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace zub;
using namespace zub::test;
namespace fs = std::filesystem;

namespace {

std::string readBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}
void writeBytes(const fs::path& p, std::string_view bytes) {
    std::ofstream(p, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class PictureFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        char folder[] = "/tmp/zub-pictures-XXXXXX";
        dir = ::mkdtemp(folder);
    }
    void TearDown() override { fs::remove_all(dir); }
    template <typename F> std::string errorOf(F&& f) {
        try {
            f();
        } catch (const Error& e) {
            return e.what();
        }
        return "no error";
    }

    fs::path dir;
};

std::string smallBitmap() {
    BmpFields s;
    s.width = 1;
    s.height = 1;
    s.bitsPerPixel = 8;
    s.palette = {qRgb(1, 2, 3), qRgb(200, 100, 50)};
    s.pixels = paddedRows({std::string(1, '\x01')});
    return bmpFile(s);
}

} // namespace

TEST(PictureFormats, TheDialogFiltersAreBuiltFromTheTable) {
    EXPECT_EQ(openPictureFilter(),
              "All (*.bmp;*.ico;*.emf;*.wmf)|*.bmp;*.ico;*.emf;*.wmf|Bitmaps (*.bmp)|*.bmp|"
              "Icons (*.ico)|*.ico|Enhanced Metafiles (*.emf)|*.emf|Metafiles (*.wmf)|*.wmf");
    EXPECT_EQ(savePictureFilter(), QStringLiteral("图位(*.bmp)|*.bmp"));
}

TEST(PictureFormats, ExtensionsAreComparedWithoutCaseAndReportedAsTyped) {
    EXPECT_EQ(pictureFormatOf("a.bmp"), PictureFormat::Bitmap);
    EXPECT_EQ(pictureFormatOf("/x/a.BMP"), PictureFormat::Bitmap);
    EXPECT_EQ(pictureFormatOf("a.Ico"), PictureFormat::Icon);
    EXPECT_EQ(pictureFormatOf("a.b.emf"), PictureFormat::Emf);
    EXPECT_EQ(pictureFormatOf(".wmf"), PictureFormat::Wmf);
    auto message = [](const char* path) {
        try {
            pictureFormatOf(path);
        } catch (const Error& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(message("notes.TxT"), "Unknown picture file extension (.TxT)");
    EXPECT_EQ(message("picture.jpg"), "Unknown picture file extension (.jpg)");
    EXPECT_EQ(message("noextension"), "Unknown picture file extension (.)");
    EXPECT_EQ(message("name."), "Unknown picture file extension (.)");
    // A dot in a folder's name is not the file's extension.
    EXPECT_EQ(message("/pictures.bmp/plain"), "Unknown picture file extension (.)");
    EXPECT_EQ(message("a.bmp.bak"), "Unknown picture file extension (.bak)");
}

TEST_F(PictureFilesTest, LoadingChecksTheExtensionBeforeTheFile) {
    EXPECT_EQ(errorOf([&] { loadPictureFile(dir / "missing.txt"); }),
              "Unknown picture file extension (.txt)");
    EXPECT_EQ(errorOf([&] { loadPictureFile(dir / "missing.bmp"); }),
              "Cannot open file \"" + (dir / "missing.bmp").string() +
                  "\". No such file or directory");
    writeBytes(dir / "text.bmp", "not a picture");
    EXPECT_EQ(errorOf([&] { loadPictureFile(dir / "text.bmp"); }), "Bitmap image is not valid");
    writeBytes(dir / "text.ico", "not a picture");
    EXPECT_EQ(errorOf([&] { loadPictureFile(dir / "text.ico"); }), "Icon image is not valid");
    writeBytes(dir / "text.emf", "not a picture");
    EXPECT_EQ(errorOf([&] { loadPictureFile(dir / "text.emf"); }), "Metafile is not valid");

    writeBytes(dir / "small.BMP", smallBitmap());
    const Picture p = loadPictureFile(dir / "small.BMP");
    EXPECT_EQ(p.format(), PictureFormat::Bitmap);
    EXPECT_EQ(p.bitsPerPixel(), 8);
    EXPECT_EQ(p.image().pixel(0, 0), qRgb(200, 100, 50));
}

TEST_F(PictureFilesTest, SavingWritesThePicturesOwnFormatWhateverTheName) {
    // An icon saved under a ".bmp" name is still an icon.
    const std::string icon = icoFile({pngIcon(QImage(8, 8, QImage::Format_ARGB32))});
    writeBytes(dir / "in.ico", icon);
    savePictureFile(dir / "out.bmp", loadPictureFile(dir / "in.ico"));
    EXPECT_EQ(readBytes(dir / "out.bmp"), icon);

    // A bitmap at its own depth, replacing what was there.
    writeBytes(dir / "in.bmp", smallBitmap());
    writeBytes(dir / "out.ico", "old contents");
    savePictureFile(dir / "out.ico", loadPictureFile(dir / "in.bmp"));
    EXPECT_EQ(readBytes(dir / "out.ico"), smallBitmap());
}

TEST_F(PictureFilesTest, AnEmptyPictureWritesNothing) {
    savePictureFile(dir / "nothing.bmp", Picture());
    EXPECT_FALSE(fs::exists(dir / "nothing.bmp"));
}

TEST_F(PictureFilesTest, AFileThatCannotBeCreatedIsReportedAndNothingIsWritten) {
    writeBytes(dir / "in.bmp", smallBitmap());
    const Picture p = loadPictureFile(dir / "in.bmp");
    fs::create_directory(dir / "taken.bmp");
    EXPECT_EQ(errorOf([&] { savePictureFile(dir / "taken.bmp", p); }),
              "Cannot create file \"" + (dir / "taken.bmp").string() + "\". Is a directory");
    EXPECT_TRUE(fs::is_directory(dir / "taken.bmp"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
}

TEST_F(PictureFilesTest, TheSaveFailsIntoAFolderThatIsNotThere) {
    writeBytes(dir / "in.bmp", smallBitmap());
    EXPECT_EQ(
        errorOf([&] { savePictureFile(dir / "no" / "out.bmp", loadPictureFile(dir / "in.bmp")); }),
        "Cannot create file \"" + (dir / "no" / "out.bmp").string() +
            "\". No such file or directory");
}

TEST_F(PictureFilesTest, ThePreviewIsThePictureOrNothing) {
    writeBytes(dir / "in.bmp", smallBitmap());
    writeBytes(dir / "bad.bmp", "BMxx");
    EXPECT_EQ(picturePreview(dir / "in.bmp").size(), QSize(1, 1));
    EXPECT_TRUE(picturePreview(dir / "bad.bmp").isNull());
    EXPECT_TRUE(picturePreview(dir / "missing.wmf").isNull());
    EXPECT_TRUE(picturePreview(dir / "in.txt").isNull());
}
