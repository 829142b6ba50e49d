#include "cliplist/clip_list.h"
#include "text/codepage.h"
#include "text/collation.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace zub;

namespace {

// Records every notice and checks that each "before" is followed by its "after".
struct Recorder : ClipListListener {
    std::vector<std::string> log;
    void beforeInsert(std::size_t row, std::size_t count) override {
        log.push_back("insert " + std::to_string(row) + "+" + std::to_string(count));
    }
    void afterInsert() override { log.push_back("/insert"); }
    void beforeRemove(std::size_t first, std::size_t last) override {
        log.push_back("remove " + std::to_string(first) + "-" + std::to_string(last));
    }
    void afterRemove() override { log.push_back("/remove"); }
    void beforeMove(std::size_t from, std::size_t to) override {
        log.push_back("move " + std::to_string(from) + ">" + std::to_string(to));
    }
    void afterMove() override { log.push_back("/move"); }
    void beforeReorder() override { log.push_back("reorder"); }
    void afterReorder(const RowNumbers& newRowOf) override {
        std::string s = "/reorder";
        for (std::size_t r : newRowOf) s += " " + std::to_string(r);
        log.push_back(s);
    }
    void beforeReset() override { log.push_back("reset"); }
    void afterReset() override { log.push_back("/reset"); }
    void changed(std::size_t first, std::size_t last) override {
        log.push_back("changed " + std::to_string(first) + "-" + std::to_string(last));
    }
    void selectionChanged() override { log.push_back("selection"); }
};

class ClipListTest : public ::testing::Test {
protected:
    Collator collator{"zh_CN"};
    ClipList list{collator};
    Recorder recorder;

    void fill(std::initializer_list<const char*> texts) {
        for (const char* t : texts) list.add(t);
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (std::size_t i = 0; i < list.size(); ++i) out.emplace_back(list.text(i));
        return out;
    }
    std::vector<bool> checks() const {
        std::vector<bool> out;
        for (std::size_t i = 0; i < list.size(); ++i) out.push_back(list.isChecked(i));
        return out;
    }
};

using Texts = std::vector<std::string>;
using Checks = std::vector<bool>;

} // namespace

TEST_F(ClipListTest, AddsAtTheEndUnlessSorted) {
    list.addListener(&recorder);
    EXPECT_EQ(list.add("banana"), 0u);
    EXPECT_EQ(list.add("Cherry"), 1u);
    EXPECT_EQ(list.add("apple"), 2u);
    EXPECT_EQ(texts(), (Texts{"banana", "Cherry", "apple"}));
    EXPECT_EQ(recorder.log[0], "insert 0+1");
    EXPECT_EQ(recorder.log[5], "/insert");
    EXPECT_FALSE(list.isChecked(2));
}

TEST_F(ClipListTest, SortingKeepsChecksAndTheSelectedRowNumber) {
    fill({"banana", "Cherry", "apple"});
    list.setChecked(0, true);
    list.select(1);
    list.addListener(&recorder);
    list.setSorted(true);
    EXPECT_EQ(texts(), (Texts{"apple", "banana", "Cherry"}));
    EXPECT_EQ(checks(), (Checks{false, true, false}));
    EXPECT_EQ(list.selection(), 1u);
    EXPECT_EQ(recorder.log, (Texts{"reorder", "/reorder 1 2 0"}));

    // Switching off moves nothing; later entries are appended again.
    list.setSorted(false);
    list.add("aardvark");
    EXPECT_EQ(texts(), (Texts{"apple", "banana", "Cherry", "aardvark"}));
}

TEST_F(ClipListTest, SortedInsertionIgnoresCaseAndKeepsArrivalOrder) {
    list.setSorted(true);
    fill({"b", "B", "a", "c", "b"});
    EXPECT_EQ(texts(), (Texts{"a", "b", "B", "b", "c"}));
    list.select(3);
    EXPECT_EQ(list.add("A"), 1u);
    // The selection follows its entry down a row.
    EXPECT_EQ(list.selection(), 4u);
    EXPECT_EQ(list.text(4), "b");
}

// Switching sorting on decodes every entry once and sorts them all at once; adding them one by
// one to a sorted list compares them as they come. Both must give one order, equal entries in
// the order they came, whatever the bytes: Chinese, four-byte characters, bytes no character
// has, blanks and case.
TEST_F(ClipListTest, SortingAWholeListAgreesWithAddingItsEntriesOneByOne) {
    const std::string pieces[] = {
        "a",    "B",    "b",    " ", "\xD6\xD0", "\xB1\xB1", "\x94\x39\xFC\x36",
        "\x80", "\xFF", "\xD6", "1", "\xC3\xA9"};
    std::mt19937 random(23);
    Texts entries(3000);
    for (std::string& t : entries)
        for (unsigned n = random() % 4; n > 0; --n) t += pieces[random() % std::size(pieces)];
    ClipList oneByOne(collator);
    oneByOne.setSorted(true);
    for (const std::string& t : entries) oneByOne.add(t);
    list.assign(entries);
    list.setSorted(true);
    for (std::size_t row = 0; row < entries.size(); ++row)
        ASSERT_EQ(list.text(row), oneByOne.text(row)) << "row " << row;
}

TEST_F(ClipListTest, SortsChineseByPinyinAmongLatin) {
    list.setSorted(true);
    list.add(cp::fromUtf16(u"中国"));
    list.add("Beijing");
    list.add(cp::fromUtf16(u"北京"));
    list.add("zoo");
    EXPECT_EQ(texts(), (Texts{"Beijing", "zoo", cp::fromUtf16(u"北京"), cp::fromUtf16(u"中国")}));
}

TEST_F(ClipListTest, RewriteKeepsRowCheckAndSelectionEvenWhenSorted) {
    fill({"apple", "banana"});
    list.setSorted(true);
    list.setChecked(0, true);
    list.select(0);
    list.addListener(&recorder);
    list.rewrite(0, "zebra");
    EXPECT_EQ(texts(), (Texts{"zebra", "banana"}));
    EXPECT_EQ(checks(), (Checks{true, false}));
    EXPECT_EQ(list.selection(), 0u);
    EXPECT_EQ(recorder.log, (Texts{"changed 0-0"}));
    EXPECT_EQ(list.findContaining("ZEBRA"), 0u); // the search follows the rewrite
}

TEST_F(ClipListTest, MoveCarriesCheckAndSelection) {
    fill({"one", "two", "six", "ten"});
    list.setChecked(1, true);
    list.select(1);
    list.move(1, 0);
    EXPECT_EQ(texts(), (Texts{"two", "one", "six", "ten"}));
    EXPECT_EQ(checks(), (Checks{true, false, false, false}));
    EXPECT_EQ(list.selection(), 0u);
    list.move(0, 3);
    EXPECT_EQ(texts(), (Texts{"one", "six", "ten", "two"}));
    EXPECT_EQ(checks(), (Checks{false, false, false, true}));
    EXPECT_EQ(list.selection(), 3u);
    // Another entry selected: it shifts with the rows between.
    list.select(1);
    list.move(3, 0);
    EXPECT_EQ(list.selection(), 2u);
    EXPECT_EQ(list.text(2), "six");
    list.move(0, 9); // out of range: nothing
    EXPECT_EQ(texts(), (Texts{"two", "one", "six", "ten"}));
}

TEST_F(ClipListTest, DeletingCheckedEntriesFollowsTheSelectedEntry) {
    fill({"w", "x", "y", "z"});
    list.setChecked(0, true);
    list.select(2);
    EXPECT_EQ(list.removeChecked(), 1u);
    EXPECT_EQ(texts(), (Texts{"x", "y", "z"}));
    EXPECT_EQ(list.selection(), 1u);
    EXPECT_EQ(checks(), (Checks{false, false, false}));

    list.setChecked(1, true);
    list.setChecked(2, true);
    list.removeChecked();
    EXPECT_EQ(texts(), (Texts{"x"}));
    EXPECT_EQ(list.selection(), std::nullopt);

    EXPECT_EQ(list.removeChecked(), 0u);
    list.setChecked(0, true);
    list.removeChecked();
    EXPECT_TRUE(list.empty());
}

TEST_F(ClipListTest, DeletesRunsLastFirstOrResetsForMany) {
    fill({"a", "b", "c", "d", "e"});
    list.setChecked(0, true);
    list.setChecked(2, true);
    list.setChecked(3, true);
    list.addListener(&recorder);
    list.removeChecked();
    EXPECT_EQ(recorder.log, (Texts{"remove 2-3", "/remove", "remove 0-0", "/remove"}));
    EXPECT_EQ(texts(), (Texts{"b", "e"}));

    // Many separate runs: one reset instead of a notice per run, same result.
    list.clear();
    std::vector<bool> doomed;
    for (int i = 0; i < 100; ++i) {
        list.add(std::to_string(i));
        doomed.push_back(i % 2 == 0);
    }
    list.select(51);
    recorder.log.clear();
    EXPECT_EQ(list.removeRows(doomed), 50u);
    EXPECT_EQ(recorder.log, (Texts{"reset", "/reset", "selection"}));
    EXPECT_EQ(list.size(), 50u);
    EXPECT_EQ(list.text(0), "1");
    EXPECT_EQ(list.text(49), "99");
    EXPECT_EQ(list.selection(), 25u);
    EXPECT_EQ(list.text(25), "51");
}

TEST_F(ClipListTest, AssignReplacesEverythingAndSortsWhenSorted) {
    fill({"old"});
    list.setChecked(0, true);
    list.select(0);
    list.setSorted(true);
    list.assign({"b", "", "A", "a"});
    EXPECT_EQ(texts(), (Texts{"", "A", "a", "b"}));
    EXPECT_EQ(checks(), (Checks{false, false, false, false}));
    EXPECT_EQ(list.selection(), std::nullopt);
}

TEST_F(ClipListTest, InvertAndSelect) {
    list.invertChecks(); // empty: nothing
    fill({"a", "b"});
    list.setChecked(0, true);
    list.invertChecks();
    EXPECT_EQ(checks(), (Checks{false, true}));
    list.invertChecks();
    EXPECT_EQ(checks(), (Checks{true, false}));
    list.select(5);
    EXPECT_EQ(list.selection(), std::nullopt);
}

TEST_F(ClipListTest, FindsClipTextsAndContainedText) {
    fill({"abc", "xyz[Zub]note", "[Zub]hidden", ""});
    EXPECT_TRUE(list.containsClipText("xyz"));
    EXPECT_FALSE(list.containsClipText("xyz[Zub]note"));
    EXPECT_TRUE(list.containsClipText(""));
    EXPECT_FALSE(list.containsClipText("ab"));

    EXPECT_EQ(list.findContaining("NOTE"), 1u); // inside a comment, any case
    EXPECT_EQ(list.findContaining("b"), 0u);
    EXPECT_EQ(list.findContaining(""), std::nullopt);
    EXPECT_EQ(list.findContaining("missing"), std::nullopt);
    list.add("\xC4\xE3\xBA\xC3"); // 你好: E3 BA lies across its two characters
    EXPECT_EQ(list.findContaining("\xE3\xBA"), std::nullopt);
    EXPECT_EQ(list.findContaining("\xBA\xC3"), 4u);
}
