#include "platform/qt/input_box.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_text.h"
#include "x11_test.h"
#include "x11_tools.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <fstream>
#include <functional>

using namespace zub;
using namespace zub::e2e;

namespace {

// Runs `act` on the first dialog of type T that shows up; the dialogs run their own event loops,
// so the test has to reach them from a timer. The watch ends with `scope`, found or not.
template <typename T> void whenShown(QObject* scope, std::function<void(T*)> act) {
    auto* timer = new QTimer(scope);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<T*>(w);
            if (dialog && dialog->isVisible()) {
                timer->stop();
                timer->deleteLater();
                act(dialog);
                return;
            }
        }
    });
    timer->start();
}

// Types `text` one character at a time, as a keyboard or an input method would hand it over.
// (QTest::keyClicks knows only ASCII.)
void type(QWidget* widget, const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text[i].isHighSurrogate() ? 2 : 1;
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, text.mid(i, length),
                            Qt::NoModifier);
        i += length - 1;
    }
}

// Types a name into the dialog's file name field and presses Enter.
void typeFileName(QFileDialog* dialog, const QString& name) {
    auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(field, nullptr);
    field->clear();
    type(field, name);
    QTest::keyClick(field, Qt::Key_Return);
}

QString promptOf(QDialog* box) {
    for (QLabel* label : box->findChildren<QLabel*>()) {
        if (!label->text().isEmpty()) return label->text();
    }
    return {};
}

class QtDialogsTest : public X11Test {
protected:
    QtDialogs dialogs;
    QObject scope;
};

} // namespace

TEST_F(QtDialogsTest, InputBoxShowsTheCurrentTextSelectedAndAnswersOkOrCancel) {
    bool looked = false;
    whenShown<InputBox>(&scope, [&](InputBox* box) {
        looked = true;
        EXPECT_EQ(box->windowTitle(), QStringLiteral("注释  "));
        EXPECT_EQ(promptOf(box), QStringLiteral("内容  "));
        EXPECT_EQ(box->field()->text(), QStringLiteral("旧注释"));
        EXPECT_EQ(box->field()->selectedText(), QStringLiteral("旧注释"));
        EXPECT_EQ(box->okButton()->text(), QStringLiteral("OK"));
        EXPECT_EQ(box->cancelButton()->text(), QStringLiteral("Cancel"));
        EXPECT_TRUE(box->okButton()->isDefault());
        EXPECT_LT(box->okButton()->x(), box->cancelButton()->x());
        // Typing replaces the selected text; Enter is OK.
        type(box->field(), QStringLiteral("新x"));
        QTest::keyClick(box->field(), Qt::Key_Return);
    });
    EXPECT_EQ(dialogs.inputBox(nullptr, QStringLiteral("注释  "), QStringLiteral("内容  "),
                               fromQString(QStringLiteral("旧注释")), 255),
              fromQString(QStringLiteral("新x")));
    EXPECT_TRUE(looked);

    whenShown<InputBox>(&scope, [](InputBox* box) {
        type(box->field(), QStringLiteral("thrown away"));
        box->cancelButton()->click();
    });
    EXPECT_EQ(dialogs.inputBox(nullptr, {}, {}, "old", 255), std::nullopt);

    whenShown<InputBox>(&scope, [](InputBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
    EXPECT_EQ(dialogs.inputBox(nullptr, {}, {}, "old", 255), std::nullopt);
}

TEST_F(QtDialogsTest, InputBoxCountsTheLimitInCodePageBytes) {
    InputBox box(nullptr, {}, {}, {}, 5);
    box.show();
    QLineEdit* field = box.field();
    type(field, QStringLiteral("abcd"));
    type(field, QStringLiteral("中")); // two bytes: one too many
    EXPECT_EQ(field->text(), QStringLiteral("abcd"));
    type(field, QStringLiteral("ef"));
    EXPECT_EQ(field->text(), QStringLiteral("abcde"));

    // A paste keeps what fits.
    field->clear();
    field->insert(QStringLiteral("ab中文"));
    EXPECT_EQ(field->text(), QStringLiteral("ab中"));
    field->clear();
    field->insert(QStringLiteral("a😀b"));
    EXPECT_EQ(field->text(), QStringLiteral("a😀"));

    // A text that came in too long stays, but cannot grow.
    InputBox tooLong(nullptr, {}, {}, QStringLiteral("abcdefg"), 5);
    tooLong.show();
    QTest::keyClick(tooLong.field(), Qt::Key_End);
    type(tooLong.field(), QStringLiteral("h"));
    EXPECT_EQ(tooLong.field()->text(), QStringLiteral("abcdefg"));
    QTest::keyClick(tooLong.field(), Qt::Key_Backspace);
    type(tooLong.field(), QStringLiteral("x"));
    EXPECT_EQ(tooLong.field()->text(), QStringLiteral("abcdef"));
    tooLong.field()->selectAll();
    type(tooLong.field(), QStringLiteral("xy"));
    EXPECT_EQ(tooLong.field()->text(), QStringLiteral("xy"));
}

TEST_F(QtDialogsTest, FileDialogsUseTheOptionsAndTheDefaultExtension) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    std::ofstream(folder.filePath(QStringLiteral("there.zub")).toStdString()) << "x";

    FileDialogOptions options;
    options.title = QStringLiteral("打开Zub文档");
    options.filter = QStringLiteral("Zub文档(*.zub)|*.zub|所有文档(*.*)|*.*");
    options.initialFolder = folder.path();
    options.defaultExtension = QStringLiteral("zub");

    whenShown<QFileDialog>(&scope, [&](QFileDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle(), options.title);
        EXPECT_EQ(dialog->directory().absolutePath(), QDir(folder.path()).absolutePath());
        // The captions read exactly as given, and the second one matches every file.
        const auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        ASSERT_TRUE(types);
        ASSERT_EQ(types->count(), 2);
        EXPECT_EQ(types->itemText(0), QStringLiteral("Zub文档(*.zub)"));
        EXPECT_EQ(types->itemText(1), QStringLiteral("所有文档(*.*)"));
        EXPECT_EQ(dialog->nameFilters().value(1), QStringLiteral("所有文档(*.*) (*)"));
        typeFileName(dialog, QStringLiteral("new"));
    });
    // A name that does not exist yet is taken, with the extension added.
    EXPECT_EQ(dialogs.openFile(nullptr, options),
              std::filesystem::path(folder.filePath(QStringLiteral("new.zub")).toStdString()));

    // Replacing a file asks first only when told to.
    for (const bool confirm : {false, true}) {
        options.confirmOverwrite = confirm;
        bool asked = false;
        QObject round;
        whenShown<QFileDialog>(&round, [&](QFileDialog* dialog) {
            whenShown<QMessageBox>(&round, [&](QMessageBox* question) {
                asked = true;
                question->button(QMessageBox::Yes)->click();
            });
            typeFileName(dialog, QStringLiteral("there"));
        });
        EXPECT_EQ(
            dialogs.saveFile(nullptr, options),
            std::filesystem::path(folder.filePath(QStringLiteral("there.zub")).toStdString()));
        EXPECT_EQ(asked, confirm);
    }

    whenShown<QFileDialog>(&scope, [](QFileDialog* dialog) { dialog->reject(); });
    EXPECT_EQ(dialogs.saveFile(nullptr, options), std::nullopt);
}

TEST_F(QtDialogsTest, MessageShowsCaptionTextIconAndOneOkButton) {
    bool looked = false;
    whenShown<QMessageBox>(&scope, [&](QMessageBox* box) {
        looked = true;
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Zub剪贴板"));
        EXPECT_EQ(box->text(), QStringLiteral("Cannot open clipboard."));
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        ASSERT_EQ(box->buttons().size(), 1);
        EXPECT_EQ(box->standardButton(box->buttons().first()), QMessageBox::Ok);
        box->buttons().first()->click();
    });
    dialogs.message(nullptr, QStringLiteral("Zub剪贴板"), QStringLiteral("Cannot open clipboard."),
                    MessageIcon::Error);
    EXPECT_TRUE(looked);
}
