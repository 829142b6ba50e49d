#include "cliplist/bulk_commands.h"
#include "cliplist/clip_list.h"
#include "text/collation.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

using namespace zub;

namespace {

struct Recorder : ClipListListener {
    std::vector<std::string> log;
    void beforeRemove(std::size_t first, std::size_t last) override {
        log.push_back("remove " + std::to_string(first) + "-" + std::to_string(last));
    }
    void beforeReset() override { log.push_back("reset"); }
    void beforeMove(std::size_t from, std::size_t to) override {
        log.push_back("move " + std::to_string(from) + ">" + std::to_string(to));
    }
    void changed(std::size_t first, std::size_t last) override {
        log.push_back("changed " + std::to_string(first) + "-" + std::to_string(last));
    }
    void selectionChanged() override { log.push_back("selection"); }
};

using Texts = std::vector<std::string>;
using Checks = std::vector<bool>;

// What a list holds, for comparing a tidied list with the plain rules worked through by hand.
struct Snapshot {
    Texts texts;
    Checks checks;
    std::optional<std::size_t> selection;
    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot(const ClipList& list) {
    Snapshot s;
    for (std::size_t i = 0; i < list.size(); ++i) {
        s.texts.emplace_back(list.text(i));
        s.checks.push_back(list.isChecked(i));
    }
    s.selection = list.selection();
    return s;
}

// Tidy as the rules state it: trim from the last entry to the first, deleting what becomes
// empty, then compare every pair.
Snapshot tidiedByHand(Snapshot s) {
    for (std::size_t i = s.texts.size(); i-- > 0;) {
        std::string& t = s.texts[i];
        while (!t.empty() && static_cast<unsigned char>(t.back()) <= 32) t.pop_back();
        while (!t.empty() && static_cast<unsigned char>(t.front()) <= 32) t.erase(0, 1);
        if (!t.empty()) continue;
        s.texts.erase(s.texts.begin() + static_cast<std::ptrdiff_t>(i));
        s.checks.erase(s.checks.begin() + static_cast<std::ptrdiff_t>(i));
        if (s.selection == i)
            s.selection.reset();
        else if (s.selection && *s.selection > i)
            --*s.selection;
    }
    for (std::size_t b = 0; b < s.texts.size(); ++b)
        for (std::size_t a = 0; a < b; ++a)
            if (s.texts[a] == s.texts[b]) s.checks[b] = true;
    return s;
}

class BulkCommandsTest : public ::testing::Test {
protected:
    Collator collator{"zh_CN"};
    ClipList list{collator};
    Recorder recorder;
};

} // namespace

TEST_F(BulkCommandsTest, TidyTrimsDeletesEmptiesAndChecksRepeats) {
    list.assign({" a ", "", "\t", "a", "b", "a"});
    list.addListener(&recorder);
    tidy(list);
    EXPECT_EQ(snapshot(list), (Snapshot{{"a", "a", "b", "a"}, {false, true, false, true}, {}}));
    // One notice per step, not one per row.
    EXPECT_EQ(recorder.log, (Texts{"changed 0-0", "remove 1-2", "changed 1-3"}));
}

TEST_F(BulkCommandsTest, TidyTrimsOnlyTheLowBytesAtBothEnds) {
    const std::string nul(1, '\0');
    list.assign({"\r\n\x01x \ty\x1f ", nul + "z" + nul, "!\x7F", "\xA1\xA1w\xA1\xA1", "a[Zub] "});
    tidy(list);
    // DEL and the full-width blank are no control characters of the trim.
    EXPECT_EQ(snapshot(list).texts, (Texts{"x \ty", "z", "!\x7F", "\xA1\xA1w\xA1\xA1", "a[Zub]"}));
}

TEST_F(BulkCommandsTest, TidyTellsApartCaseAndCommentsAndNeverUnchecks) {
    list.assign({"a", "A", "a[Zub]x", "a[Zub]X", "x", "x", "y"});
    list.setChecked(4, true);
    list.setChecked(6, true);
    tidy(list);
    EXPECT_EQ(snapshot(list).checks, (Checks{false, false, false, false, true, true, true}));

    // Without blanks and repeats nothing changes and nobody is told.
    list.assign({"a", "A", "a[Zub]x", "a[Zub]X", "x", "y"});
    list.setChecked(4, true);
    list.select(3);
    const Snapshot untouched = snapshot(list);
    list.addListener(&recorder);
    tidy(list);
    EXPECT_EQ(snapshot(list), untouched);
    EXPECT_TRUE(recorder.log.empty());
}

TEST_F(BulkCommandsTest, TidyKeepsTheSelectionOnItsEntry) {
    list.assign({" ", "x ", "\t", " y", "y"});
    list.setChecked(1, true);
    list.select(3);
    tidy(list);
    EXPECT_EQ(snapshot(list), (Snapshot{{"x", "y", "y"}, {true, false, true}, 1}));

    list.assign({"p", "  ", "q"});
    list.select(1);
    tidy(list);
    EXPECT_EQ(snapshot(list), (Snapshot{{"p", "q"}, {false, false}, std::nullopt}));
}

TEST_F(BulkCommandsTest, TidyDoesNotResortASortedList) {
    list.setSorted(true);
    for (const char* t : {"mango", "apple", "  zebra"}) list.add(t);
    ASSERT_EQ(snapshot(list).texts, (Texts{"  zebra", "apple", "mango"}));
    tidy(list);
    EXPECT_EQ(snapshot(list).texts, (Texts{"zebra", "apple", "mango"}));
    EXPECT_TRUE(list.isSorted());
}

TEST_F(BulkCommandsTest, TidyAgreesWithThePairwiseRulesOnRandomLists) {
    const std::string pieces[] = {"",
                                  " ",
                                  "\t",
                                  "\r\n",
                                  std::string(1, '\0'),
                                  "a",
                                  "A",
                                  "b",
                                  "\xD6\xD0",
                                  "\xD6\xD0"
                                  "a",
                                  "[Zub]",
                                  "[Zub]x",
                                  "\xA1\xA1",
                                  "\x94\x39\xFC\x36"};
    std::mt19937 random(20240601);
    for (int round = 0; round < 300; ++round) {
        // Now and then a list long enough that repeats are looked for in many groups.
        Texts texts(round % 100 == 99 ? 2500 : random() % 40);
        for (std::string& t : texts)
            for (unsigned n = random() % 4; n > 0; --n) t += pieces[random() % std::size(pieces)];
        list.assign(texts);
        for (std::size_t i = 0; i < list.size(); ++i) list.setChecked(i, random() % 4 == 0);
        if (!list.empty() && random() % 3 != 0) list.select(random() % list.size());

        const Snapshot expected = tidiedByHand(snapshot(list));
        tidy(list);
        ASSERT_EQ(snapshot(list), expected) << "round " << round;
    }
}

TEST_F(BulkCommandsTest, MoveSelectedCarriesItsMarkAndSelection) {
    list.assign({"one", "two", "six"});
    list.setChecked(1, true);
    moveSelected(list, 0); // nothing selected
    list.select(1);
    moveSelected(list, 0);
    EXPECT_EQ(snapshot(list), (Snapshot{{"two", "one", "six"}, {true, false, false}, 0}));
    moveSelected(list, 2);
    EXPECT_EQ(snapshot(list), (Snapshot{{"one", "six", "two"}, {false, false, true}, 2}));
    list.addListener(&recorder);
    moveSelected(list, 3);
    moveSelected(list, 2);
    EXPECT_TRUE(recorder.log.empty());
}
