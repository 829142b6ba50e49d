#include "platform/sim/sim_dialogs.h"

#include <gtest/gtest.h>

using namespace zub;

TEST(SimDialogs, AnswersFromTheScriptAndCancelsWhenItRunsOut) {
    SimDialogs dialogs;
    dialogs.answerOpenFile("/tmp/a.zub");
    dialogs.answerOpenFile(std::nullopt);
    dialogs.answerSaveFile("/tmp/b.zub");
    dialogs.answerInputBox("x");

    FileDialogOptions options;
    options.title = QStringLiteral("打开Zub文档");
    options.filter = QStringLiteral("Zub文档(*.zub)|*.zub");
    EXPECT_EQ(dialogs.openFile(nullptr, options), std::filesystem::path("/tmp/a.zub"));
    EXPECT_EQ(dialogs.openFile(nullptr, options), std::nullopt);
    EXPECT_EQ(dialogs.openFile(nullptr, options), std::nullopt);
    EXPECT_EQ(dialogs.saveFile(nullptr, {}), std::filesystem::path("/tmp/b.zub"));
    EXPECT_EQ(dialogs.inputBox(nullptr, QStringLiteral("注释  "), QStringLiteral("内容  "),
                               "\xD6\xD0", 255),
              "x");
    EXPECT_EQ(dialogs.inputBox(nullptr, {}, {}, {}, 255), std::nullopt);
    EXPECT_EQ(dialogs.pendingAnswers(), 0u);

    ASSERT_EQ(dialogs.openFileCalls().size(), 3u);
    EXPECT_EQ(dialogs.openFileCalls()[0].title, options.title);
    EXPECT_EQ(dialogs.openFileCalls()[0].filter, options.filter);
    ASSERT_EQ(dialogs.inputBoxCalls().size(), 2u);
    EXPECT_EQ(dialogs.inputBoxCalls()[0].caption, QStringLiteral("注释  "));
    EXPECT_EQ(dialogs.inputBoxCalls()[0].prompt, QStringLiteral("内容  "));
    EXPECT_EQ(dialogs.inputBoxCalls()[0].initial, "\xD6\xD0");
    EXPECT_EQ(dialogs.inputBoxCalls()[0].maxBytes, 255u);
}

TEST(SimDialogs, MessagesAreRecordedBeforeTheHookLooks) {
    SimDialogs dialogs;
    std::size_t seenWhileShown = 0;
    dialogs.onMessage = [&] { seenWhileShown = dialogs.messages().size(); };
    dialogs.message(nullptr, QStringLiteral("Zub剪贴板"), QStringLiteral("Cannot open clipboard."),
                    MessageIcon::Error);
    EXPECT_EQ(seenWhileShown, 1u);
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].caption, QStringLiteral("Zub剪贴板"));
    EXPECT_EQ(dialogs.messages()[0].text, QStringLiteral("Cannot open clipboard."));
    EXPECT_EQ(dialogs.messages()[0].icon, MessageIcon::Error);
}
