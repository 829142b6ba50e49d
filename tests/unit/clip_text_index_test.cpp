// The clip-text index behind the capture's duplicate test must answer exactly what a search of
// every entry would, through every command that changes entries.

#include "cliplist/bulk_commands.h"
#include "cliplist/clip_entry.h"
#include "cliplist/clip_list.h"
#include "cliplist/entry_commands.h"
#include "cliplist/list_document.h"
#include "text/collation.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

using namespace zub;

namespace {

// What the duplicate test answered before there was an index: a look at every entry.
bool searchedEveryEntry(const ClipList& list, std::string_view text) {
    for (std::size_t i = 0; i < list.size(); ++i)
        if (clipText(list.text(i)) == text) return true;
    return false;
}

class ClipTextIndexTest : public ::testing::Test {
protected:
    Collator collator{"zh_CN"};
    ClipList list{collator};
    // Texts that are, were or could become clip texts.
    std::vector<std::string> probes = {"",         "a",   "b",         " a ",     "a[Zub]x",
                                       "[Zub]x",   "new", "new[Zub]c", "note",    "x",
                                       "\xC4\xE3", "A",   "a[Zub]",    "b[Zub]y", " new"};

    void expectIndexRight(const char* after) {
        for (const std::string& p : probes)
            ASSERT_EQ(list.containsClipText(p), searchedEveryEntry(list, p))
                << "after " << after << ", probing '" << p << "'";
    }
};

TEST_F(ClipTextIndexTest, StaysRightThroughEveryCommandThatChangesEntries) {
    std::mt19937 random(7);
    auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    for (int step = 0; step < 3000; ++step) {
        const char* op = "";
        switch (pick(9)) {
        case 0: // a capture
        case 1:
            op = "add";
            list.add(probes[pick(probes.size())]);
            break;
        case 2: // Return
            op = "Return";
            if (!list.empty()) {
                const std::size_t row = pick(list.size());
                if (auto e = returnedEntry(list.text(row), probes[pick(probes.size())]))
                    list.rewrite(row, *e);
            }
            break;
        case 3: // Comment
            op = "Comment";
            if (!list.empty()) {
                const std::size_t row = pick(list.size());
                if (auto e = commentedEntry(list.text(row), probes[pick(probes.size())]))
                    list.rewrite(row, *e);
            }
            break;
        case 4:
            op = "Tidy";
            tidy(list);
            break;
        case 5: // Delete, after checking a few
            op = "Delete";
            for (std::size_t i = 0; i < list.size(); ++i)
                if (pick(4) == 0) list.setChecked(i, true);
            list.removeChecked();
            break;
        case 6:
            op = "Sort";
            list.setSorted(!list.isSorted());
            break;
        case 7: // opening a document of what the list holds plus a few more lines
            op = "open";
            if (pick(5) == 0) {
                std::string document = formatListDocument(list) + "a\r\n\n new\r";
                LineSpans lines = splitListDocument(document);
                list.assignLines(std::move(document), std::move(lines));
            }
            break;
        case 8:
            op = "move";
            if (list.size() > 1) list.move(pick(list.size()), pick(list.size()));
            break;
        }
        expectIndexRight(op);
    }
}

TEST_F(ClipTextIndexTest, SurvivesTheCompactionOfRewrittenEntries) {
    // Rewriting a large entry again and again leaves its old bytes behind until they are moved
    // out; what is left must be the same entries, found the same way.
    list.assign({"keep", "big", "also[Zub]kept"});
    const std::string big(1 << 20, 'z');
    for (int i = 0; i < 80; ++i) list.rewrite(1, big + std::to_string(i));
    EXPECT_EQ(list.text(0), "keep");
    EXPECT_EQ(list.text(1), big + "79");
    EXPECT_EQ(list.text(2), "also[Zub]kept");
    EXPECT_TRUE(list.containsClipText("also"));
    EXPECT_TRUE(list.containsClipText(big + "79"));
    EXPECT_FALSE(list.containsClipText(big + "78"));
}

TEST_F(ClipTextIndexTest, KeepsLongRunsOfOneTextRightThroughRemovals) {
    // An opened document whose blank lines and repeated lines make long runs of one text in the
    // index, then removals of a few of them (erased one by one) and of many (swept): after each,
    // a text is found exactly while an entry with it is left.
    std::string document;
    for (int i = 0; i < 6000; ++i)
        document += i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "same[Zub]" + std::to_string(i) + "\r\n"
                                                      : std::to_string(i) + "\r\n";
    LineSpans lines = splitListDocument(document);
    list.assignLines(std::move(document), std::move(lines));
    probes = {"", "same", "3", "2", "5999", "5998", "x"};
    expectIndexRight("opening");
    const std::pair<const char*, std::function<bool(std::size_t)>> removals[] = {
        {"a few blanks", [&](std::size_t row) { return row < 30 && list.text(row).empty(); }},
        {"most rows", [&](std::size_t row) { return row % 7 != 0; }},
        {"all but one blank", [&](std::size_t row) {
             return list.text(row).empty() && row + 1 < list.size();
         }},
        {"one of the others", [&](std::size_t row) { return row == 1; }},
        {"every row left", [](std::size_t) { return true; }},
    };
    for (const auto& [name, doomed] : removals) {
        std::vector<bool> flags(list.size());
        for (std::size_t row = 0; row < list.size(); ++row) flags[row] = doomed(row);
        list.removeRows(flags);
        probes.clear();
        for (std::size_t row = 0; row < list.size(); ++row)
            probes.emplace_back(clipText(list.text(row)));
        probes.insert(probes.end(), {"", "same", "2", "3", "x"});
        expectIndexRight(name);
    }
    EXPECT_TRUE(list.empty());
}

TEST(ClipTextHash, SpreadsTextsThatDifferInOneByteAnywhere) {
    std::string text(37, 'q');
    const std::uint64_t base = ClipTextIndex::hash(text);
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::string changed = text;
        changed[i] ^= 1;
        EXPECT_NE(ClipTextIndex::hash(changed), base) << i;
    }
    EXPECT_NE(ClipTextIndex::hash(std::string(8, '\0')), ClipTextIndex::hash(std::string(9, '\0')));
}

} // namespace
