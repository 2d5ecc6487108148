// The cost of the list's lookup per node visited, against the bare cost of
// walking the list, on the lists that a 4 KiB and a 1 MiB text build.
#include "corpus.h"
#include "count_words.h"
#include "word_list.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct Workload {
    WordList list = nullptr;
    std::vector<std::string> queries; // the text's words, or a sample of a long one
    std::size_t visits = 0;           // nodes a full scan visits to find them all
    std::size_t nodes = 0;

    explicit Workload(std::size_t size)
    {
        std::string text = make_corpus(size, 1);
        const std::size_t step = size > (64U << 10) ? 64 : 1;
        std::size_t count = 0;
        for (char* word = std::strtok(text.data(), kSeparators); word != nullptr;
             word = std::strtok(nullptr, kSeparators)) {
            add_word(&list, word);
            // A sample keeps one pass over a long text short.
            if (++count % step == 0) {
                queries.emplace_back(word);
            }
        }
        for (const WordNode* node = list; node != nullptr; node = node->next) {
            ++nodes;
        }
        for (const std::string& query : queries) {
            for (const WordNode* node = list; ++visits, std::strcmp(node->word, query.c_str()) != 0;) {
                node = node->next;
            }
        }
    }
    ~Workload() { free_list(&list); }
};

Workload& workload(const benchmark::State& state)
{
    static Workload page(4U << 10);
    static Workload mebibyte(1U << 20);
    return state.range(0) == (4 << 10) ? page : mebibyte;
}

void report(benchmark::State& state, std::size_t nodes)
{
    state.counters["per_node"] =
        benchmark::Counter(static_cast<double>(nodes),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The floor: following the links and nothing else.
void BM_Walk(benchmark::State& state)
{
    const Workload& w = workload(state);
    for (auto _ : state) {
        for (std::size_t pass = 0; pass < w.visits / w.nodes; ++pass) {
            const WordNode* node = w.list;
            while (node != nullptr) {
                benchmark::DoNotOptimize(node = node->next);
            }
        }
    }
    report(state, w.visits / w.nodes * w.nodes);
}

// Lookups that add_word measured itself against, side by side with it: one that
// compares every word in full, one that settles a mismatch on the first byte
// alone, with a branch, and add_word's two-byte test without the prefetch.
const WordNode* find_strcmp(const WordNode* node, const char* word)
{
    while (node != nullptr && std::strcmp(node->word, word) != 0) {
        node = node->next;
    }
    return node;
}

const WordNode* find_first_byte(const WordNode* node, const char* word)
{
    while (node != nullptr && (node->word[0] != word[0] || std::strcmp(node->word, word) != 0)) {
        node = node->next;
    }
    return node;
}

// add_word's scan as it was before it asked for the next node's word ahead.
const WordNode* find_two_bytes(const WordNode* node, const char* word)
{
    const char first = word[0];
    const char second = word[first != '\0'];
    for (; node != nullptr; node = node->next) {
        const char* w = node->word;
        const unsigned differ =
            static_cast<unsigned char>(w[0] ^ first) | static_cast<unsigned char>(w[w[0] != '\0'] ^ second);
        if (differ == 0 && std::strcmp(w, word) == 0) {
            return node;
        }
    }
    return nullptr;
}

template <const WordNode* (*Find)(const WordNode*, const char*)> void BM_Find(benchmark::State& state)
{
    const Workload& w = workload(state);
    for (auto _ : state) {
        for (const std::string& query : w.queries) {
            benchmark::DoNotOptimize(Find(w.list, query.c_str()));
        }
    }
    report(state, w.visits);
}

// The library's own add_word: the two-byte test, with the next node's word
// prefetched; it also raises the count it finds.
void BM_AddWord(benchmark::State& state)
{
    Workload& w = workload(state);
    for (auto _ : state) {
        for (const std::string& query : w.queries) {
            add_word(&w.list, query.c_str());
        }
    }
    report(state, w.visits);
}

BENCHMARK(BM_Walk)->Arg(4 << 10)->Arg(1 << 20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Find<find_strcmp>)->Arg(4 << 10)->Arg(1 << 20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Find<find_first_byte>)->Arg(4 << 10)->Arg(1 << 20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Find<find_two_bytes>)->Arg(4 << 10)->Arg(1 << 20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AddWord)->Arg(4 << 10)->Arg(1 << 20)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
