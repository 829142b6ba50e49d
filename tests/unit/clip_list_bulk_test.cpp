#include "cliplist/clip_list.h"
#include "platform/collation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace zub;

namespace {

struct ChangeRecorder : ClipListListener {
    std::vector<std::string> log;
    void changed(std::size_t first, std::size_t last) override {
        log.push_back("changed " + std::to_string(first) + "-" + std::to_string(last));
    }
    void selectionChanged() override { log.push_back("selection"); }
};

using Log = std::vector<std::string>;

class ClipListBulkTest : public ::testing::Test {
protected:
    Collator collator{"zh_CN"};
    ClipList list{collator};
    ChangeRecorder recorder;

    void SetUp() override {
        list.assign({"a", "b", "c", "d", "e"});
        list.setChecked(3, true);
        list.select(2);
        list.addListener(&recorder);
    }
};

} // namespace

TEST_F(ClipListBulkTest, RewriteEachSendsOneNoticeSpanningTheChangedRows) {
    EXPECT_EQ(list.findContaining("B"), 1u); // searched before the rewrite
    std::string visited;
    list.rewriteEach([&visited](std::string& text) {
        visited += text;
        if (text != "b" && text != "d") return false;
        text = "x" + text;
        return true;
    });
    EXPECT_EQ(visited, "abcde");
    EXPECT_EQ(recorder.log, (Log{"changed 1-3"}));
    EXPECT_EQ(list.text(1), "xb");
    EXPECT_EQ(list.text(3), "xd");
    EXPECT_EQ(list.findContaining("XB"), 1u); // the search sees the new texts
    EXPECT_TRUE(list.isChecked(3));
    EXPECT_EQ(list.selection(), 2u);

    recorder.log.clear();
    list.rewriteEach([](std::string&) { return false; });
    EXPECT_TRUE(recorder.log.empty());
}

TEST_F(ClipListBulkTest, CheckRowsOnlyTurnsMarksOnAndReportsWhatChanged) {
    // Row 3 is flagged but already on; row 4 is on the list but past the flags.
    list.checkRows({false, true, false, true});
    EXPECT_EQ(recorder.log, (Log{"changed 1-1"}));
    for (std::size_t row = 0; row < list.size(); ++row)
        EXPECT_EQ(list.isChecked(row), row == 1 || row == 3) << row;

    recorder.log.clear();
    list.checkRows(std::vector<bool>(5, false));
    list.checkRows({false, true, false, true, false});
    EXPECT_TRUE(recorder.log.empty());
    EXPECT_TRUE(list.isChecked(3));
}
