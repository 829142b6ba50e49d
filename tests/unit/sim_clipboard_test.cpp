#include "platform/error.h"
#include "platform/sim/sim_platform.h"

#include <gtest/gtest.h>

#include <string>

using namespace zub;

namespace {

QImage picture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    return image;
}

struct CountingViewer : ClipboardViewer {
    int notices = 0;
    void clipboardChanged() override { ++notices; }
};

} // namespace

TEST(SimClipboard, TextIsACStringAndAWriteReplacesEveryFormat) {
    SimClipboard clipboard;
    EXPECT_FALSE(clipboard.offersText());
    EXPECT_EQ(clipboard.readText(), "");

    clipboard.setOtherProgramContent(std::string("ab\0cd", 5), picture(2, 3));
    EXPECT_TRUE(clipboard.offersText());
    EXPECT_TRUE(clipboard.offersBitmap());
    EXPECT_EQ(clipboard.readText(), "ab");
    EXPECT_EQ(clipboard.readBitmap().size(), QSize(2, 3));

    clipboard.setText("\xD6\xD0");
    EXPECT_FALSE(clipboard.offersBitmap());
    EXPECT_EQ(clipboard.readText(), "\xD6\xD0");

    clipboard.setBitmap(picture(4, 4));
    EXPECT_FALSE(clipboard.offersText());

    // An empty text is still text.
    clipboard.setOtherProgramText("");
    EXPECT_TRUE(clipboard.offersText());
    EXPECT_FALSE(clipboard.offersBitmap());

    clipboard.empty();
    EXPECT_FALSE(clipboard.offersText());
    EXPECT_FALSE(clipboard.offersBitmap());
    EXPECT_EQ(clipboard.writeCount(), 3);
}

TEST(SimClipboard, HeldOpenByAnotherProgramEveryOpeningFailsAndChangesNothing) {
    SimPlatform sim;
    CountingViewer viewer;
    sim.viewerChain.join(viewer);
    sim.clipboard.setOtherProgramContent("theirs", picture(1, 1));
    sim.clipboard.holdOpen(true);

    const auto expectRefused = [](auto&& call) {
        try {
            call();
            ADD_FAILURE() << "the clipboard opened while held by another program";
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), "Cannot open clipboard");
        }
    };
    expectRefused([&] { sim.clipboard.readText(); });
    expectRefused([&] { sim.clipboard.readBitmap(); });
    expectRefused([&] { sim.clipboard.setText("mine"); });
    expectRefused([&] { sim.clipboard.setBitmap(picture(5, 5)); });
    expectRefused([&] { sim.clipboard.empty(); });

    // Asking what is offered does not open it.
    EXPECT_TRUE(sim.clipboard.offersText());
    EXPECT_TRUE(sim.clipboard.offersBitmap());
    EXPECT_EQ(sim.clipboard.text(), "theirs");
    EXPECT_EQ(sim.clipboard.bitmap()->size(), QSize(1, 1));
    EXPECT_EQ(sim.clipboard.writeCount(), 0);
    EXPECT_EQ(viewer.notices, 1);

    sim.clipboard.holdOpen(false);
    EXPECT_EQ(sim.clipboard.readText(), "theirs");
}

TEST(SimClipboard, EveryChangeIsAnnouncedToTheChainButStagingIsNot) {
    SimPlatform sim;
    CountingViewer viewer;
    sim.viewerChain.join(viewer);
    ASSERT_EQ(viewer.notices, 1);

    sim.clipboard.setOtherProgramText("staged");
    EXPECT_EQ(viewer.notices, 1);
    sim.copyFromOtherProgram("copied");
    EXPECT_EQ(viewer.notices, 2);
    EXPECT_EQ(sim.clipboard.readText(), "copied");

    sim.clipboard.setText("recalled");
    sim.clipboard.setBitmap(picture(1, 1));
    sim.clipboard.empty();
    EXPECT_EQ(viewer.notices, 5);
}

TEST(SimClipboard, WritesBetweenOpenAndCloseAreOneChangeToldAtClose) {
    SimPlatform sim;
    CountingViewer viewer;
    sim.viewerChain.join(viewer);
    {
        ClipboardWrite write(sim.clipboard);
        sim.clipboard.empty();
        EXPECT_EQ(viewer.notices, 1);
        sim.clipboard.setText("x\x81");
        EXPECT_EQ(viewer.notices, 1);
    }
    EXPECT_EQ(viewer.notices, 2);
    EXPECT_EQ(sim.clipboard.writeCount(), 1);
    EXPECT_EQ(sim.clipboard.readText(), "x\x81");

    // Opening without writing is no change.
    { ClipboardWrite nothing(sim.clipboard); }
    EXPECT_EQ(viewer.notices, 2);
}
