#include "failing_alloc.h"
#include "report_line.h"
#include "text_model.h"
#include "word_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

// The list's words and counts, first to last, checked to be well formed: no
// cycle, no count below 1 and no word twice.
Counts counts_of(WordList list)
{
    Counts counts;
    std::set<std::string> words;
    for (const WordNode* node = list; node != nullptr; node = node->next) {
        EXPECT_GE(node->count, 1);
        EXPECT_TRUE(words.insert(node->word).second) << node->word << " twice, or a cycle";
        if (counts.size() > live_blocks()) {
            ADD_FAILURE() << "more nodes than blocks: a cycle";
            break;
        }
        counts.emplace_back(node->word, node->count);
    }
    return counts;
}

// Records each word from a scratch buffer that is overwritten at once, so a list
// that kept the caller's text instead of a copy shows up as garbled words.
void record(WordList* list, const std::vector<std::string>& words)
{
    for (const std::string& word : words) {
        std::string scratch = word;
        EXPECT_TRUE(add_word(list, scratch.c_str()));
        scratch.assign(scratch.size(), '#');
    }
}

// Each list counts its distinct words newest first, print_list writes it as
// the report says (the start line, then a line per node), and free_list
// releases every block of it once, then finds the list empty.
TEST(WordList, CountsPrintsAndFreesEachList)
{
    const struct {
        const char* what;
        std::vector<std::string> words;
        Counts expected;
    } cases[] = {
        {"the empty list", {}, {}},
        {"one word in an empty list", {"slovo"}, {{"slovo", 1}}},
        {"the seed words", {"pokus", "druhy", "pokus", "pokus"}, {{"druhy", 1}, {"pokus", 3}}},
        {"case matters", {"pokus", "Pokus"}, {{"Pokus", 1}, {"pokus", 1}}},
        {"attached punctuation makes a new word", {"slovo", "slovo;"}, {{"slovo;", 1}, {"slovo", 1}}},
        {"a prefix is not a match", {"ab", "a", "abc", "a"}, {{"abc", 1}, {"a", 2}, {"ab", 1}}},
        {"equal first two bytes are not a match", {"pokus", "pokec", "pokus"}, {{"pokec", 1}, {"pokus", 2}}},
        {"counts do not reorder", {"a", "b", "a", "a"}, {{"b", 1}, {"a", 3}}},
        {"bytes from 0x80 up are word bytes",
         {"\xe8\xe9", "\xe8", "\xe8\xe9"},
         {{"\xe8", 1}, {"\xe8\xe9", 2}}},
        {"the empty word is a word", {"", ""}, {{"", 2}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WordList list = nullptr;
        record(&list, c.words);
        EXPECT_EQ(c.expected, counts_of(list));
#if GTEST_HAS_STREAM_REDIRECTION
        testing::internal::CaptureStdout();
        EXPECT_TRUE(print_list(&list));
        EXPECT_EQ(list_report(list), testing::internal::GetCapturedStdout());
#endif
        EXPECT_EQ(!c.words.empty(), free_list(&list));
        EXPECT_EQ(nullptr, list);
        EXPECT_EQ(0U, live_blocks());
        EXPECT_FALSE(free_list(&list));
    }
#if !GTEST_HAS_STREAM_REDIRECTION
    GTEST_SKIP()
        << "SKIPPED: print_list's output is not checked: GoogleTest captures standard output through "
           "dup2, which WASI lacks";
#endif
}

TEST(AddWord, SurvivesEachAllocationFailingInTurn)
{
    // 7 distinct words, each costing a node and a copy: 14 allocations.
    const std::vector<std::string> words = {"pokus", "druhy", "pokus", "pokus", "a", "b",
                                            "a",     "Pokus", "",      "b",     "c"};
    for (const bool keep_failing : {false, true}) {
        SCOPED_TRACE(keep_failing ? "every allocation from the nth on fails"
                                  : "only the nth allocation fails");
        int runs_with_failures = 0;
        for (int nth = 1; nth < 100; ++nth) {
            SCOPED_TRACE(nth);
            fail_allocation(nth, keep_failing);
            WordList list = nullptr;
            std::vector<std::string> added; // the list holds these as if no other had been added
            for (const std::string& word : words) {
                if (add_word(&list, word.c_str())) {
                    added.push_back(word);
                }
            }
            const long failures = failed_allocations();
            fail_allocation(0, false);

            const auto dropped = static_cast<long>(words.size() - added.size());
            EXPECT_EQ(failures, dropped) << "one failed allocation drops one occurrence";
            EXPECT_EQ(counted(added), counts_of(list)) << "and leaves the list as it was";
            free_list(&list);
            EXPECT_EQ(0U, live_blocks());
            if (failures == 0) {
                break;
            }
            ++runs_with_failures;
            // The nth allocation is the ((n + 1) / 2)th new word's. Failing for good,
            // every later occurrence of it or of a newer word is lost as well, since
            // none of them finds a node to count in.
            std::vector<std::string> seen;
            long lost = 0;
            for (const std::string& word : words) {
                auto at = std::find(seen.begin(), seen.end(), word);
                if (at == seen.end()) {
                    at = seen.insert(at, word);
                }
                lost += at - seen.begin() + 1 >= (nth + 1) / 2 ? 1 : 0;
            }
            EXPECT_EQ(keep_failing ? lost : 1, failures);
        }
        EXPECT_EQ(14, runs_with_failures);
    }
}

} // namespace
