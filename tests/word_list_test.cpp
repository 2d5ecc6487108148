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

// Every allocation of this test program goes through malloc here, so that the
// list's nothrow allocations can be failed on demand and counted until released.
namespace {

struct Heap {
    int fail_in = 0;           // the nth nothrow allocation from now fails; 0 never
    bool keep_failing = false; // and so does every one after it
    int failures = 0;          // failures injected so far
    std::array<void*, 4096> live{};
    std::size_t live_count = 0; // nothrow blocks not yet released
} heap;

void* allocate_nothrow(std::size_t size)
{
    if (heap.fail_in > 0 && --heap.fail_in == 0) {
        ++heap.failures;
        heap.fail_in = heap.keep_failing ? 1 : 0;
        return nullptr;
    }
    void* block = std::malloc(size);
    if (block != nullptr && heap.live_count < heap.live.size()) {
        heap.live[heap.live_count++] = block;
    }
    return block;
}

void* allocate(std::size_t size)
{
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    return block;
}

void release(void* block) noexcept
{
    auto* end = heap.live.begin() + heap.live_count;
    auto* found = std::find(heap.live.begin(), end, block);
    if (found != end) {
        *found = *(end - 1);
        --heap.live_count;
    }
    std::free(block);
}

} // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t& /*tag*/) noexcept
{
    return allocate_nothrow(size);
}
void* operator new[](std::size_t size, const std::nothrow_t& /*tag*/) noexcept
{
    return allocate_nothrow(size);
}
void operator delete(void* block) noexcept { release(block); }
void operator delete[](void* block) noexcept { release(block); }
void operator delete(void* block, std::size_t /*size*/) noexcept { release(block); }
void operator delete[](void* block, std::size_t /*size*/) noexcept { release(block); }

namespace {

using Counts = std::vector<std::pair<std::string, int>>;

// The list's words and counts, first to last, checked to be well formed: no
// cycle, no count below 1 and no word twice.
Counts counts_of(WordList list)
{
    Counts counts;
    std::set<std::string> words;
    for (const WordNode* node = list; node != nullptr; node = node->next) {
        EXPECT_GE(node->count, 1);
        EXPECT_TRUE(words.insert(node->word).second) << node->word << " twice, or a cycle";
        if (counts.size() > heap.live_count) {
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

TEST(AddWord, CountsDistinctWordsNewestFirst)
{
    const struct {
        const char* what;
        std::vector<std::string> words;
        Counts expected;
    } cases[] = {
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
        free_list(&list);
    }
    EXPECT_EQ(0U, heap.live_count);
}

TEST(AddWord, FailedAllocationLeavesListAndHeapAsTheyWere)
{
    const struct {
        const char* what;
        int failing; // which allocation of the new word fails
    } cases[] = {
        {"no memory for the node", 1},
        {"no memory for the word's copy", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WordList list = nullptr;
        record(&list, {"a", "b"});
        const WordNode* first = list;
        const std::size_t live = heap.live_count;

        heap.failures = 0;
        heap.fail_in = c.failing;
        EXPECT_FALSE(add_word(&list, "c"));
        EXPECT_EQ(1, heap.failures);
        heap.fail_in = 0;
        EXPECT_EQ(first, list);
        EXPECT_EQ((Counts{{"b", 1}, {"a", 1}}), counts_of(list));
        EXPECT_EQ(live, heap.live_count);

        // The lost word is recorded afresh by the next call.
        EXPECT_TRUE(add_word(&list, "c"));
        EXPECT_EQ((Counts{{"c", 1}, {"b", 1}, {"a", 1}}), counts_of(list));
        free_list(&list);
    }
    EXPECT_EQ(0U, heap.live_count);
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
        int injected = 0;
        for (int nth = 1; nth < 100; ++nth) {
            heap.fail_in = nth;
            heap.keep_failing = keep_failing;
            heap.failures = 0;
            WordList list = nullptr;
            int dropped = 0;
            for (const std::string& word : words) {
                dropped += add_word(&list, word.c_str()) ? 0 : 1;
            }
            heap.fail_in = 0;

            EXPECT_EQ(heap.failures, dropped) << "one failed allocation drops one occurrence";
            int total = 0;
            for (const auto& entry : counts_of(list)) {
                total += entry.second;
            }
            EXPECT_EQ(static_cast<int>(words.size()) - dropped, total);
            free_list(&list);
            EXPECT_EQ(0U, heap.live_count);
            if (heap.failures == 0) {
                break;
            }
            ++runs_with_failures;
            injected += heap.failures;
        }
        EXPECT_EQ(14, runs_with_failures);
        // Failing for good, a dropped word fails again each time it recurs.
        EXPECT_EQ(keep_failing ? 74 : 14, injected);
    }
    heap.keep_failing = false;
}

TEST(FreeList, EmptiesOnceThenReportsEmpty)
{
    WordList list = nullptr;
    EXPECT_FALSE(free_list(&list));
    record(&list, {"a", "b", "a"});
    EXPECT_TRUE(free_list(&list));
    EXPECT_EQ(nullptr, list);
    EXPECT_EQ(0U, heap.live_count);
    EXPECT_FALSE(free_list(&list));
}

TEST(PrintList, WritesStartLineThenOneLinePerNode)
{
    WordList list = nullptr;
    testing::internal::CaptureStdout();
    print_list(&list);
    EXPECT_EQ("Seznam je prazdny.\n", testing::internal::GetCapturedStdout());

    record(&list, {"a", "b"});
    const WordNode* b = list;
    const WordNode* a = list->next;
    std::vector<char> expected(256);
    (void)std::snprintf(expected.data(), expected.size(),
                        "Zacatek seznamu: %p\n"
                        "  1 Adresa: %p Cetnost:   1 Slovo: b  Dalsi: %p\n"
                        "  2 Adresa: %p Cetnost:   1 Slovo: a  Dalsi: %p\n",
                        static_cast<const void*>(b), static_cast<const void*>(b), static_cast<const void*>(a),
                        static_cast<const void*>(a), nullptr);
    testing::internal::CaptureStdout();
    print_list(&list);
    EXPECT_EQ(std::string(expected.data()), testing::internal::GetCapturedStdout());
    free_list(&list);
}

} // namespace
