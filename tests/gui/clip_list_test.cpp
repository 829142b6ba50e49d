// The clip list on screen: the selection display, mouse and keyboard, and list documents.

#include "app/up_down.h"
#include "gui_support.h"

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QScrollBar>
#include <QtTest>

using namespace zub;
using namespace zub::test;

namespace {

QPoint rowCenter(ClipListView* view, int row) {
    return view->visualRect(view->model()->index(row, 0)).center();
}

QPoint checkBoxOf(ClipListView* view, int row) {
    const QRect r = view->visualRect(view->model()->index(row, 0));
    return QPoint(r.left() + 8, r.center().y());
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace

class ClipListTest : public QObject {
    Q_OBJECT

private slots:
    void selectionDisplayShowsNumberCommentAndHint() {
        Window w;
        w.fill({"one", "abc[Zub]note", "abc[Zub]", "abc", "[Zub]x[Zub]y"});
        auto* upDown = w.form->findChild<UpDown*>("UpDown1");

        w.selectRow(1);
        QCOMPARE(w.panel(0), QStringLiteral("2/5"));
        QCOMPARE(w.panel(2), QStringLiteral("note"));
        QCOMPARE(w.form->clipListView()->toolTip(), QStringLiteral("abc[Zub]note"));
        QCOMPARE(upDown->minimum(), 4);
        QCOMPARE(upDown->maximum(), 0);
        QCOMPARE(upDown->position(), 1);

        w.selectRow(2);
        QCOMPARE(w.panel(2), QString()); // an empty comment, not "无"
        w.selectRow(3);
        QCOMPARE(w.panel(2), QStringLiteral("无"));
        w.selectRow(4);
        QCOMPARE(w.panel(2), QStringLiteral("x[Zub]y"));

        w.list().select(std::nullopt);
        w.form->CheckListBox1Click();
        QCOMPARE(w.panel(0), QStringLiteral("就绪"));
        QCOMPARE(w.panel(2), QString());
        QCOMPARE(w.form->clipListView()->toolTip(), QString());
        QCOMPARE(upDown->minimum(), 0);
        QCOMPARE(upDown->position(), 0);
    }

    void mouseSelectsAndTogglesCheckMarks() {
        Window w;
        w.fill({"alpha", "beta[Zub]b", "gamma"});
        w.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
        ClipListView* view = w.form->clipListView();

        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rowCenter(view, 1));
        QCOMPARE(w.selection(), std::optional<std::size_t>(1));
        QCOMPARE(w.panel(0), QStringLiteral("2/3"));
        QCOMPARE(w.panel(2), QStringLiteral("b"));

        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, checkBoxOf(view, 2));
        QCOMPARE(w.checks(), Checks({false, false, true}));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, checkBoxOf(view, 2));
        QCOMPARE(w.checks(), Checks({false, false, false}));

        // A right click leaves the selection where it was.
        w.selectRow(0);
        QTest::mousePress(view->viewport(), Qt::RightButton, {}, rowCenter(view, 2));
        QTest::mouseRelease(view->viewport(), Qt::RightButton, {}, rowCenter(view, 2));
        QCOMPARE(w.selection(), std::optional<std::size_t>(0));
    }

    void keysMoveTheSelectionAndRunTheDisplay() {
        Window w;
        w.fill({"a", "b", "c", "d"});
        w.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
        ClipListView* view = w.form->clipListView();
        view->setFocus();
        w.selectRow(1);
        QTest::keyClick(view, Qt::Key_Down);
        QCOMPARE(w.selection(), std::optional<std::size_t>(2));
        QCOMPARE(w.panel(0), QStringLiteral("3/4"));
        QTest::keyClick(view, Qt::Key_End);
        QCOMPARE(w.panel(0), QStringLiteral("4/4"));
        QTest::keyClick(view, Qt::Key_Home);
        QCOMPARE(w.panel(0), QStringLiteral("1/4"));
        QTest::keyClick(view, Qt::Key_Up);
        QCOMPARE(w.selection(), std::optional<std::size_t>(0));
    }

    void typeAheadSelectsByPrefixIgnoringCase() {
        Window w;
        w.fill({"apple", "Banana", "blueberry", "cherry", "b c"});
        w.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
        ClipListView* view = w.form->clipListView();
        view->setFocus();

        QTest::keyClicks(view, "bl");
        QCOMPARE(w.selection(), std::optional<std::size_t>(2));
        QCOMPARE(w.panel(0), QStringLiteral("3/5"));
        // No entry begins with "blx": nothing changes.
        QTest::keyClick(view, Qt::Key_X);
        QCOMPARE(w.selection(), std::optional<std::size_t>(2));
        QTest::keyClick(view, Qt::Key_Backspace); // "bl"
        QTest::keyClick(view, Qt::Key_Backspace); // "b"
        QCOMPARE(w.selection(), std::optional<std::size_t>(1));
        QTest::keyClick(view, Qt::Key_Backspace); // "": the first entry
        QCOMPARE(w.selection(), std::optional<std::size_t>(0));

        // After a pause the prefix starts afresh.
        QTest::keyClick(view, Qt::Key_C);
        QCOMPARE(w.selection(), std::optional<std::size_t>(3));
        QTest::qWait(600);
        QTest::keyClick(view, Qt::Key_B);
        QCOMPARE(w.selection(), std::optional<std::size_t>(1));

        // Space switches the mark of the selected entry, then counts as typed: "b " selects "b c".
        QTest::keyClick(view, Qt::Key_Space);
        QCOMPARE(w.checks(), Checks({false, true, false, false, false}));
        QCOMPARE(w.selection(), std::optional<std::size_t>(4));
    }

    void openReplacesTheListAndSaveWritesIt() {
        Window w;
        w.fill({"old"});
        w.list().setChecked(0, true);
        w.selectRow(0);
        const QString file = w.folder.filePath("list.zub");
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("b[Zub]c\r\n\r\na\n\rz");
        out.close();

        w.sim.dialogs.answerOpenFile(file.toStdString());
        w.action("Action1")->trigger();
        QCOMPARE(w.entries(), Entries({"b[Zub]c", "", "a", "", "z"}));
        QCOMPARE(w.checks(), Checks({false, false, false, false, false}));
        QCOMPARE(w.selection(), std::nullopt);
        QCOMPARE(w.panel(0), QStringLiteral("就绪"));

        const FileDialogOptions& open = w.sim.dialogs.openFileCalls().back();
        QCOMPARE(open.title, QStringLiteral("打开Zub文档"));
        QCOMPARE(open.filter, QStringLiteral("Zub文档(*.zub)|*.zub|所有文档(*.*)|*.*"));
        QCOMPARE(open.initialFolder, QDir::toNativeSeparators(w.folder.path()));
        QCOMPARE(open.defaultExtension, QStringLiteral("zub"));

        const QString saved = w.folder.filePath("saved.zub");
        w.sim.dialogs.answerSaveFile(saved.toStdString());
        w.action("Action2")->trigger();
        QCOMPARE(readFile(saved), QByteArray("b[Zub]c\r\n\r\na\r\n\r\nz\r\n"));
        const FileDialogOptions& save = w.sim.dialogs.saveFileCalls().back();
        QCOMPARE(save.title, QStringLiteral("保存Zub文档"));
        QCOMPARE(save.filter, QStringLiteral("保存Zub文档(*.zub)|*.zub|所有文档(*.*)|*.*"));
        QCOMPARE(save.initialFolder, QDir::toNativeSeparators(w.folder.path()) + QDir::separator());
        QVERIFY(save.confirmOverwrite);

        // Cancel changes nothing; an empty list saves as an empty file and loads as an empty list.
        w.action("Action1")->trigger();
        QCOMPARE(w.list().size(), std::size_t(5));
        w.list().clear();
        w.sim.dialogs.answerSaveFile(saved.toStdString());
        w.action("Action2")->trigger();
        QCOMPARE(readFile(saved), QByteArray());
        w.fill({"x"});
        w.sim.dialogs.answerOpenFile(saved.toStdString());
        w.action("Action1")->trigger();
        QCOMPARE(w.list().size(), std::size_t(0));
        QCOMPARE(w.panel(0), QStringLiteral("就绪"));
        QVERIFY(w.messages().isEmpty());
    }

    void loadingWhileSortedShowsTheLinesSorted() {
        Window w;
        const QString file = w.folder.filePath("s.zub");
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("pear\r\nApple\r\nbanana\r\n");
        out.close();
        w.action("Action4")->trigger();
        w.sim.dialogs.answerOpenFile(file.toStdString());
        w.action("Action1")->trigger();
        QCOMPARE(w.entries(), Entries({"Apple", "banana", "pear"}));
        QCOMPARE(w.form->clipListView()->model()->index(0, 0).data().toString(),
                 QStringLiteral("Apple"));
    }

    void rowsShowEntriesAsStored() {
        Window w;
        w.fill({cp936(u"中文[Zub]注释"), "two\r\nlines"});
        QAbstractItemModel* model = w.form->clipListView()->model();
        QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("中文[Zub]注释"));
        QCOMPARE(model->index(1, 0).data().toString(), QStringLiteral("two\u21B5lines"));
        QCOMPARE(model->index(1, 0).data(Qt::CheckStateRole).value<Qt::CheckState>(),
                 Qt::Unchecked);
    }

    // The list repaints only the rows that changed and moves the pixels of the others when it
    // scrolls; after each command the window must show exactly what painting every row anew
    // shows. Commands run back to back, so that updates still pending meet the next scroll.
    void partialRepaintsShowWhatAFullRepaintShows() {
        Window w;
        w.sim.clipboard.setOtherProgramText("copy 0");
        w.action("Action15")->trigger(); // automatic capture, as a user copying all day
        w.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
        ClipListView* view = w.form->clipListView();
        QScrollBar* bar = view->verticalScrollBar();
        QWidget* rows = view->viewport();
        const auto shown = [&] {
            QTest::qWait(30);
            const QRect area(rows->mapTo(w.form.get(), QPoint(0, 0)), rows->size());
            return QGuiApplication::primaryScreen()
                ->grabWindow(w.form->winId())
                .toImage()
                .copy(area);
        };
        int copies = 0;
        const auto removeRow = [&](std::size_t row) {
            std::vector<bool> doomed(w.list().size());
            doomed[row] = true;
            w.list().removeRows(doomed);
        };
        const std::pair<const char*, std::function<void()>> commands[] = {
            {"copy into a short list", [&] {
                 w.sim.copyFromOtherProgram("copy " + std::to_string(++copies));
             }},
            {"remove the first row of a short list", [&] { removeRow(0); }},
            {"fill past the page", [&] {
                 for (int i = 0; i < 300; ++i) w.list().add("entry " + std::to_string(i));
             }},
            {"copy", [&] { w.sim.copyFromOtherProgram("copy " + std::to_string(++copies)); }},
            {"two copies", [&] {
                 w.sim.copyFromOtherProgram("copy " + std::to_string(++copies));
                 w.sim.copyFromOtherProgram("copy " + std::to_string(++copies));
             }},
            {"select, then scroll", [&] {
                 w.selectRow(w.list().size() - 3);
                 bar->setValue(bar->value() - 2);
             }},
            {"one row up", [&] { bar->setValue(bar->value() - 1); }},
            {"three rows down", [&] { bar->setValue(bar->value() + 3); }},
            {"a page and more", [&] { bar->setValue(bar->value() - bar->pageStep() - 4); }},
            {"remove a row on the page", [&] { removeRow(std::size_t(bar->value()) + 2); }},
            {"check a row", [&] { w.list().setChecked(std::size_t(bar->value()) + 1, true); }},
            {"copy after scrolling away", [&] {
                 w.sim.copyFromOtherProgram("copy " + std::to_string(++copies));
             }},
        };
        for (const auto& [name, command] : commands) {
            command();
            const QImage incremental = shown();
            rows->repaint();
            QVERIFY2(shown() == incremental, name);
        }
        QCOMPARE(bar->value(), bar->maximum()); // the last copy brought its row into view
    }
};

QTEST_MAIN(ClipListTest)
#include "clip_list_test.moc"
