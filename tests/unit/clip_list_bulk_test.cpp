#include "cliplist/clip_list.h"
#include "text/collation.h"

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

TEST_F(ClipListBulkTest, NarrowEachSendsOneNoticeSpanningTheChangedRows) {
    list.assign({"a", " b ", "c", "xdx", "e"});
    list.setChecked(3, true);
    list.select(2);
    recorder.log.clear();
    EXPECT_EQ(list.findContaining("B"), 1u); // searched before the change
    std::string visited;
    list.narrowEach([&visited](std::string_view text) -> std::pair<std::size_t, std::size_t> {
        visited += text;
        if (text.size() == 3) return {1, 1};
        return {0, text.size()};
    });
    EXPECT_EQ(visited, "a b cxdxe");
    EXPECT_EQ(recorder.log, (Log{"changed 1-3"}));
    EXPECT_EQ(list.text(1), "b");
    EXPECT_EQ(list.text(3), "d");
    EXPECT_EQ(list.findContaining("D"), 3u); // the search sees the new texts
    EXPECT_TRUE(list.containsClipText("d"));
    EXPECT_FALSE(list.containsClipText("xdx"));
    EXPECT_TRUE(list.isChecked(3));
    EXPECT_EQ(list.selection(), 2u);

    recorder.log.clear();
    list.narrowEach(
        [](std::string_view text) { return std::pair<std::size_t, std::size_t>(0, text.size()); });
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
