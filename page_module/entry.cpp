// wrd's own list code in the page: the page's script copies a text into this
// module's memory and runs it through the real add_word and count_words; the
// module then reads its list and each call's outcome from its own memory and
// gives the page its data, made by page_data as wrd-dot makes it.
#include "count_words.h"
#include "page_data.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <malloc.h>
#include <new>
#include <string>
#include <unordered_map>

#define EXPORT(name) extern "C" __attribute__((export_name(#name)))

// The page's script learns how far the run has got: the offset in the text of
// the word that the last call recorded.
extern "C" __attribute__((import_module("wrd"), import_name("progress"))) void progress(std::uint32_t at);

namespace {

// The longest text that the page runs, in bytes.
constexpr std::size_t kMaxText = 1U << 20U;

// The list's blocks are those that add_word allocates and frees while
// `in_add_word` is set; each is charged its whole block, header included,
// against `list_heap_cap`, which no text of at most kMaxText bytes reaches
// (list_heap_cap derives it): past it add_word finds no memory, as wrd does
// when its heap runs out.
bool in_add_word = false;
std::size_t list_heap = 0;
std::size_t block_header = 0; // measured by measure_blocks
std::size_t block(const void* at) { return malloc_usable_size(const_cast<void*>(at)) + block_header; }

// What the run recorded, per call: the node that the call raised or made (0
// when memory ran out), and the offset of the word in the text (-1 for a seed).
struct Calls {
    std::uint32_t* node = nullptr;
    std::int32_t* word = nullptr;
    std::uint32_t size = 0;
};
Calls calls;

// The nodes by their word, so that a raise finds its node without a second
// scan of the list: open addressing, at most half full.
WordNode** by_word = nullptr;
std::size_t index_mask = 0;

char* text = nullptr;
std::uintptr_t text_size = 0;
WordList list = nullptr;

std::size_t hash(const char* word)
{
    std::size_t h = 2166136261U;
    for (; *word != '\0'; ++word) {
        h = (h ^ static_cast<unsigned char>(*word)) * 16777619U;
    }
    return h;
}

WordNode** slot(const char* word)
{
    std::size_t at = hash(word) & index_mask;
    while (by_word[at] != nullptr && std::strcmp(by_word[at]->word, word) != 0) {
        at = (at + 1) & index_mask;
    }
    return &by_word[at];
}

// The bytes of a block's header: the distance between two blocks made in a
// row, less the first one's usable size; and the alignment that every
// block's address keeps: the lowest bit that any of blocks of 1 to 32 bytes
// sets.
std::size_t block_alignment = 0;
void measure_blocks()
{
    constexpr std::size_t kProbe = 200;
    char* first = static_cast<char*>(std::malloc(kProbe));
    char* second = static_cast<char*>(std::malloc(kProbe));
    block_header = static_cast<std::size_t>(second - first) - malloc_usable_size(first);
    std::free(second);
    std::free(first);
    constexpr std::size_t kBlocks = 32;
    void* blocks[kBlocks] = {};
    std::uintptr_t any = 0;
    for (std::size_t n = 0; n < kBlocks; ++n) {
        blocks[n] = std::malloc(n + 1);
        any |= reinterpret_cast<std::uintptr_t>(blocks[n]);
    }
    block_alignment = any & (~any + 1);
    for (void* block : blocks) {
        std::free(block);
    }
}

// The heap that the list's blocks may take: the worst text of kMaxText bytes
// makes as many nodes as it can, of the shortest distinct words first (one
// byte and a separator each, then two, ...), and each node costs the blocks
// of a WordNode and of its word's copy, as the allocator sizes them; the seed
// words' nodes come on top. Blocks are measured, so this holds for the
// allocator that the module is linked with.
std::size_t list_heap_cap()
{
    static std::size_t cap = 0;
    if (cap != 0) {
        return cap;
    }
    measure_blocks();
    const auto measured = [](std::size_t size) {
        void* at = std::malloc(size);
        const std::size_t bytes = block(at);
        std::free(at);
        return bytes;
    };
    const std::size_t node = measured(sizeof(WordNode));
    constexpr std::size_t kWordBytes = 255 - (sizeof kSeparators - 1); // neither zero nor a separator
    std::size_t left = kMaxText + 1; // as if the last word had a separator after it too
    for (std::size_t length = 1, distinct = kWordBytes; left >= length + 1; ++length) {
        const std::size_t made = std::min(distinct, left / (length + 1));
        cap += made * (node + measured(length + 1));
        left -= made * (length + 1);
        distinct = std::min(distinct * kWordBytes, kMaxText);
    }
    for (const char* seed : {"pokus", "druhy"}) {
        cap += node + measured(std::strlen(seed) + 1);
    }
    return cap;
}

} // namespace

// The nothrow allocations are those of the list; each is charged its block.
void* operator new(std::size_t size, const std::nothrow_t& /*unused*/) noexcept
{
    void* at = std::malloc(size);
    if (at != nullptr && in_add_word) {
        if (block(at) > list_heap_cap() - list_heap) {
            std::free(at);
            return nullptr;
        }
        list_heap += block(at);
    }
    return at;
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }

// A block that add_word frees (a node whose word found no memory) gives its
// charge back.
void operator delete(void* at) noexcept
{
    if (at != nullptr && in_add_word) {
        list_heap -= block(at);
    }
    std::free(at);
}
void operator delete[](void* at) noexcept { operator delete(at); }
void operator delete(void* at, std::size_t /*unused*/) noexcept { operator delete(at); }
void operator delete[](void* at, std::size_t /*unused*/) noexcept { operator delete(at); }

// count_words.cpp is built with add_word renamed to this, so that every call it
// makes passes here: the head changes exactly when a node is made.
bool recorded_add_word(WordList* words, const char* word)
{
    const WordNode* head = *words;
    in_add_word = true;
    const bool added = add_word(words, word);
    in_add_word = false;
    WordNode** found = slot(word);
    if (added && *words != head) {
        *found = *words;
    }
    calls.node[calls.size] = added ? static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(*found)) : 0;
    const std::uintptr_t at = reinterpret_cast<std::uintptr_t>(word) - reinterpret_cast<std::uintptr_t>(text);
    calls.word[calls.size] = at < text_size ? static_cast<std::int32_t>(at) : -1;
    if (++calls.size % 4096 == 0) {
        progress(static_cast<std::uint32_t>(calls.word[calls.size - 1]));
    }
    return added;
}

namespace {

// The text as it was before count_words cut it, for the page's text strip.
std::string original;

} // namespace

/// Room for a text of `size` bytes and its terminator, which the script fills;
/// null when the text is longer than kMaxText or the module cannot hold it.
/// Called once per instance.
EXPORT(try_text) char* try_text(std::uint32_t size)
{
    if (size > kMaxText) {
        return nullptr;
    }
    (void)list_heap_cap(); // measured on the fresh heap
    // At most one call per two bytes of the text, and the seeds.
    const std::size_t most = size / 2 + 1 + std::size(kSeeds);
    std::size_t slots = 1;
    while (slots < 2 * most) {
        slots *= 2;
    }
    text = static_cast<char*>(std::calloc(size + 1, 1));
    text_size = size;
    calls.node = static_cast<std::uint32_t*>(std::malloc(most * sizeof(std::uint32_t)));
    calls.word = static_cast<std::int32_t*>(std::malloc(most * sizeof(std::int32_t)));
    // An array of pointers, null to start with.
    by_word =
        static_cast<WordNode**>(std::calloc(slots, sizeof(*by_word))); // NOLINT(bugprone-sizeof-expression)
    index_mask = slots - 1;
    return text != nullptr && calls.node != nullptr && calls.word != nullptr && by_word != nullptr ? text
                                                                                                   : nullptr;
}

/// The longest text that try_text takes, in bytes.
EXPORT(max_text) std::uint32_t max_text() { return kMaxText; }

/// Runs the text as wrd does: the seed words, then the text's words, then
/// print_list to standard output. Returns 0, or 5 when memory ran out for a
/// word (the words after it are still recorded), as wrd's status.
EXPORT(try_run) int try_run()
{
    original.assign(text, text_size);
    bool recorded = true;
    for (const char* seed : kSeeds) {
        recorded &= recorded_add_word(&list, seed);
    }
    recorded &= count_words(&list, text);
    const bool printed = print_list(&list);
    return std::fflush(stdout) != 0 || !printed ? 4 : recorded ? 0 : 5;
}

/// The bytes that the list's nodes and words may take, and take.
EXPORT(list_heap_cap) std::uint32_t heap_cap() { return list_heap_cap(); }
EXPORT(list_heap_used) std::uint32_t heap_used() { return list_heap; }
/// Where the start pointer lies, and the allocator's header and alignment as
/// measured.
EXPORT(start_address) const WordList* start_address() { return &list; }
EXPORT(alloc_header) std::uint32_t alloc_header() { return block_header; }
EXPORT(alloc_alignment) std::uint32_t alloc_alignment() { return block_alignment; }

namespace {
std::string data;
std::uint32_t address_of(const void* at)
{
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(at));
}
} // namespace

/// The page's data of the run (page_data.h), from the list as memory holds it
/// after try_run and each call's record; page_data_size gives its length.
EXPORT(page_data) const char* make_page_data()
{
    PageMemory memory{
        sizeof(WordNode), offsetof(WordNode, word), offsetof(WordNode, count), offsetof(WordNode, next), {}};
    std::vector<PageNode> nodes;
    std::unordered_map<std::uint32_t, std::uint32_t> index;
    for (const WordNode* node = list; node != nullptr; node = node->next) {
        char address[24];
        (void)std::snprintf(address, sizeof address, "%p", static_cast<const void*>(node));
        index.emplace(address_of(node), static_cast<std::uint32_t>(nodes.size()));
        nodes.push_back({address, node->word});
        const std::size_t size = std::strlen(node->word) + 1;
        memory.nodes.push_back({address_of(node), address_of(node->word), node->count, address_of(node->next),
                                static_cast<std::uint32_t>(size),
                                std::string(node->word, std::min(size, NodeMemory::kWordHead))});
    }
    Run run;
    for (std::uint32_t k = 0; k < calls.size; ++k) {
        run.calls.push_back(calls.node[k] == 0 ? Run::kNoMemory : index.at(calls.node[k]));
        if (calls.word[k] >= 0) {
            run.word_starts.push_back(static_cast<std::size_t>(calls.word[k]));
        }
    }
    data = page_data(nodes, run, original, &memory);
    return data.c_str();
}
EXPORT(page_data_size) std::uint32_t page_data_size() { return static_cast<std::uint32_t>(data.size()); }
