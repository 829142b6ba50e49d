// Find on the workbench on a private X server: the real keyboard opens the dialog, types the
// find text and presses Find Next; the real clipboard shows what became selected.

#include "app/tform1.h"
#include "platform/x11/x11_platform.h"
#include "workbench/search_dialog.h"
#include "workbench/workbench_edit.h"
#include "workbench/workbench_search.h"
#include "x11_test.h"
#include "x11_tools.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTest>

namespace zub::e2e {
namespace {

class SearchTest : public X11Test {
protected:
    X11Platform platform;
    std::unique_ptr<TForm1> form;

    void SetUp() override {
        X11Test::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        form = std::make_unique<TForm1>(platform.services());
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    void TearDown() override { form.reset(); }

    WorkbenchEdit* memo() { return form->memo1(); }
    SearchDialog* findDialog() { return form->workbenchSearch()->findDialog(); }
};

TEST_F(SearchTest, CtrlFTypedFindTextAndFindNextSelectTheMatch) {
    QTest::mouseClick(memo()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_TRUE(waitUntil([this] { return memo()->hasFocus(); }));
    ASSERT_TRUE(xdotool({"type", "--delay", "20", "alpha Beta gamma beta"}));
    ASSERT_TRUE(waitUntil([this] { return memo()->text() == "alpha Beta gamma beta"; }))
        << memo()->text();
    ASSERT_TRUE(xdotoolKey(QStringLiteral("ctrl+Home")));
    ASSERT_TRUE(waitUntil([this] { return memo()->selectionStart() == 0; }));
    ASSERT_TRUE(
        waitUntil([this] { return form->action(QStringLiteral("SearchFind1"))->isEnabled(); }));

    ASSERT_TRUE(xdotoolKey(QStringLiteral("ctrl+f")));
    ASSERT_TRUE(waitUntil([this] { return findDialog() && findDialog()->isActiveWindow(); }));
    ASSERT_TRUE(waitUntil([this] { return findDialog()->findField()->hasFocus(); }));
    ASSERT_TRUE(xdotool({"type", "--delay", "20", "beta"}));
    ASSERT_TRUE(waitUntil([this] { return findDialog()->findField()->text() == "beta"; }));

    // Find Next is the default button: Return presses it. Case is ignored at first.
    ASSERT_TRUE(xdotoolKey(QStringLiteral("Return")));
    ASSERT_TRUE(waitUntil([this] { return memo()->selectionLength() == 4; }));
    EXPECT_EQ(memo()->selectionStart(), 6u);
    EXPECT_TRUE(findDialog()->isActiveWindow()); // the dialog keeps the focus
    ASSERT_TRUE(xdotoolKey(QStringLiteral("Return")));
    ASSERT_TRUE(waitUntil([this] { return memo()->selectionStart() == 17; }));

    // Back in the window, the selection is what a copy takes.
    ASSERT_TRUE(xdotoolKey(QStringLiteral("Escape")));
    ASSERT_TRUE(waitUntil([this] { return !findDialog()->isVisible(); }));
    form->activateWindow();
    ASSERT_TRUE(waitUntil([this] { return memo()->hasFocus(); }));
    ASSERT_TRUE(xdotoolKey(QStringLiteral("ctrl+c")));
    std::optional<std::string> copied;
    ASSERT_TRUE(waitUntil([&] {
        copied = readWithXclip();
        return copied == std::optional<std::string>("beta");
    })) << copied.value_or("(nothing)");
}

} // namespace
} // namespace zub::e2e
