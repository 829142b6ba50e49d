// The indexes behind the workbench's word-prefix search and the edit-box search must answer
// exactly what reading every entry would, through every command that changes entries, for
// words and texts of every kind: cut characters, case and width, ignorable and combining
// characters, contractions, four-byte characters.

#include "cliplist/bulk_commands.h"
#include "cliplist/clip_list.h"
#include "cliplist/entry_commands.h"
#include "cliplist/list_document.h"
#include "text/codepage.h"
#include "text/collation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

using namespace zub;

namespace {

using Row = std::optional<std::size_t>;

// What the searches answered before there were indexes: a look at every entry.
Row firstBeginningByReading(const ClipList& list, const Collator& collator,
                            const std::string& word) {
    if (list.empty()) return std::nullopt;
    const WordPrefixMatcher matcher(collator, word);
    for (std::size_t row = 0; row < list.size(); ++row)
        if (matcher.matches(list.text(row))) return row;
    return std::nullopt;
}

Row firstContainingByReading(const ClipList& list, const std::string& text) {
    const cp::NoCaseFinder finder(text);
    for (std::size_t row = 0; row < list.size(); ++row)
        if (finder.find(list.text(row)) != std::string_view::npos) return row;
    return std::nullopt;
}

class Texts {
public:
    explicit Texts(unsigned seed) : m_random(seed) {
        for (const std::u16string piece :
             {u"a",      u"A",      u"b",      u"B",          u"\uFF42", u"e",      u"\u00E9",
              u"\u0101", u"\u0304", u"\u0001", u"\t",         u" ",      u"1",      u"\uFF11",
              u"\u4E2D", u"\u6587", u"\u5B57", u"\U0001F600", u"\u03A9", u"\u03C9", u"http://",
              u"[Zub]",  u"ch",     u"\u00DF", u"ss",         u"\u00C4"})
            m_pieces.push_back(cp::fromUtf16(piece));
        // Bytes that start no character of their own: a lead byte alone, and one that a letter
        // after it turns into a double-byte character.
        m_pieces.push_back("\x81");
        m_pieces.push_back("\xD6");
    }
    std::size_t pick(std::size_t n) { return static_cast<std::size_t>(m_random() % n); }

    std::string entry() {
        static const char* const kBeginnings[] = {"",   "",  "http://www.", "\xD6\xD0\xCE\xC4",
                                                  "ab", "AB"};
        std::string text = kBeginnings[pick(6)];
        for (std::size_t i = pick(7); i > 0; --i) text += m_pieces[pick(m_pieces.size())];
        return text;
    }
    // A piece of an entry, from anywhere in it to anywhere, perhaps cut inside characters, its
    // ASCII letters perhaps in the other case; or a text of its own.
    std::string probe(const ClipList& list, bool fromStart) {
        if (list.empty() || pick(4) == 0) return entry();
        const std::string_view e = list.text(pick(list.size()));
        const std::size_t from = fromStart ? 0 : pick(e.size() + 1);
        std::string text(e.substr(from, pick(e.size() - from + 2)));
        if (pick(2) == 0)
            for (char& c : text)
                if ((c | 32) >= 'a' && (c | 32) <= 'z') c ^= 32;
        return text;
    }

private:
    std::mt19937 m_random;
    std::vector<std::string> m_pieces;
};

TEST(ClipListSearch, IndexedSearchesAnswerAsReadingEveryEntry) {
    Collator collator("zh_CN");
    ClipList list(collator);
    Texts texts(11);
    std::vector<std::string> start;
    for (int i = 0; i < 1500; ++i) start.push_back(texts.entry());
    list.assign(start);

    for (int step = 0; step < 400; ++step) {
        const char* op = "";
        switch (texts.pick(10)) {
        case 0:
        case 1: // captures
            op = "add";
            for (std::size_t i = texts.pick(20); i > 0; --i) list.add(texts.entry());
            break;
        case 2: // Return and Comment
            op = "rewrite";
            for (std::size_t i = texts.pick(100); i > 0 && !list.empty(); --i) {
                const std::size_t row = texts.pick(list.size());
                if (auto e = texts.pick(2) ? returnedEntry(list.text(row), texts.entry())
                                           : commentedEntry(list.text(row), texts.entry()))
                    list.rewrite(row, *e);
            }
            break;
        case 3:
            op = "Tidy";
            if (texts.pick(4) == 0) tidy(list);
            break;
        case 4: // Delete, of few or of many
            op = "Delete";
            for (std::size_t i = 0, every = 2 + texts.pick(200); i < list.size(); ++i)
                if (texts.pick(every) == 0) list.setChecked(i, true);
            list.removeChecked();
            break;
        case 5:
            op = "Sort";
            list.setSorted(!list.isSorted());
            break;
        case 6: // opening a document of what the list holds plus more lines
            op = "open";
            if (texts.pick(8) == 0) {
                std::string document = formatListDocument(list);
                for (int i = 0; i < 300; ++i) document += texts.entry() + "\r\n";
                LineSpans lines = splitListDocument(document);
                list.assignLines(std::move(document), std::move(lines));
            }
            break;
        case 7:
            op = "move";
            if (list.size() > 1) list.move(texts.pick(list.size()), texts.pick(list.size()));
            break;
        default:
            break;
        }
        for (int probe = 0; probe < 12; ++probe) {
            const std::string word = texts.probe(list, true);
            ASSERT_EQ(list.findBeginning(word), firstBeginningByReading(list, collator, word))
                << "after " << op << ", the word '" << word << "'";
            // Typed on character by character, then taken back, as in the edit box.
            const std::string text = texts.probe(list, false);
            std::vector<std::size_t> ends;
            for (std::size_t end = 0; end < text.size(); end += cp::charLength(text, end))
                ends.push_back(end + cp::charLength(text, end));
            for (int pass = 0; pass < 2; ++pass) {
                for (const std::size_t end : ends) {
                    const std::string typed = text.substr(0, end);
                    ASSERT_EQ(list.findContaining(typed), firstContainingByReading(list, typed))
                        << "after " << op << ", the text '" << typed << "'";
                }
                std::reverse(ends.begin(), ends.end());
            }
        }
    }
}

} // namespace
