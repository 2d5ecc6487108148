// wrd's own list code in the page: the page's script copies a text into this
// module's memory, runs it through the real add_word and count_words, and reads
// the list and each call's outcome back from memory, at the addresses and field
// offsets that these functions give.
#include "count_words.h"
#include "layout.h"
#include "word_text.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <malloc.h>
#include <new>
#include <string>

#define EXPORT(name) extern "C" __attribute__((export_name(#name)))

// The page's script learns how far the run has got: the offset in the text of
// the word that the last call recorded.
extern "C" __attribute__((import_module("wrd"), import_name("progress"))) void progress(std::uint32_t at);

namespace {

// The list's nodes and words may take this much of the module's heap: past it
// add_word finds no memory, as wrd does when its heap runs out.
constexpr std::size_t kListHeap = 1U << 20U;
std::size_t list_heap = 0;

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

// The allocator's spacing, measured before the run: the bytes that it keeps
// beside each block (a node's block starts this far past the end of the one
// before), and the alignment that every block's address keeps.
std::uint32_t block_overhead = 0;
std::uint32_t block_alignment = 0;

std::uintptr_t address(const void* block) { return reinterpret_cast<std::uintptr_t>(block); }

void measure_blocks()
{
    constexpr std::size_t kBlocks = 32;
    void* blocks[kBlocks] = {};
    std::uintptr_t any = 0;
    for (std::size_t n = 0; n < kBlocks; ++n) {
        blocks[n] = std::malloc(n + 1);
        any |= address(blocks[n]);
    }
    block_alignment = static_cast<std::uint32_t>(any & (~any + 1)); // the lowest bit that any address sets
    void* node = std::malloc(sizeof(WordNode));
    void* after = std::malloc(sizeof(WordNode));
    block_overhead = static_cast<std::uint32_t>(address(after) - address(node) - malloc_usable_size(node));
    std::free(after);
    std::free(node);
    for (void* block : blocks) {
        std::free(block);
    }
}

} // namespace

// The nothrow allocations are those of the list alone, counted against its cap.
void* operator new(std::size_t size, const std::nothrow_t& /*unused*/) noexcept
{
    if (size > kListHeap - list_heap) {
        return nullptr;
    }
    void* block = std::malloc(size);
    list_heap += block != nullptr ? size : 0;
    return block;
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }

// count_words.cpp is built with add_word renamed to this, so that every call it
// makes passes here: the head changes exactly when a node is made.
bool recorded_add_word(WordList* words, const char* word)
{
    const WordNode* head = *words;
    const bool added = add_word(words, word);
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

/// Room for a text of `size` bytes and its terminator, which the script fills;
/// null when the module cannot hold it. Called once per instance.
EXPORT(try_text) char* try_text(std::uint32_t size)
{
    measure_blocks();
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

/// Runs the text as wrd does: the seed words, then the text's words, then
/// print_list to standard output. Returns 0, or 5 when memory ran out for a
/// word (the words after it are still recorded), as wrd's status.
EXPORT(try_run) int try_run()
{
    bool recorded = true;
    for (const char* seed : kSeeds) {
        recorded &= recorded_add_word(&list, seed);
    }
    recorded &= count_words(&list, text);
    const bool printed = print_list(&list);
    return std::fflush(stdout) != 0 || !printed ? 4 : recorded ? 0 : 5;
}

/// The start pointer, and the layout of a node as the compiler made it.
EXPORT(list_head) const WordNode* list_head() { return list; }
EXPORT(node_size) std::uint32_t node_size() { return sizeof(WordNode); }
EXPORT(word_offset) std::uint32_t word_offset() { return offsetof(WordNode, word); }
EXPORT(count_offset) std::uint32_t count_offset() { return offsetof(WordNode, count); }
EXPORT(next_offset) std::uint32_t next_offset() { return offsetof(WordNode, next); }

/// Where the start pointer lies, and the allocator's spacing as measured.
EXPORT(start_address) const WordList* start_address() { return &list; }
EXPORT(alloc_overhead) std::uint32_t alloc_overhead() { return block_overhead; }
EXPORT(alloc_alignment) std::uint32_t alloc_alignment() { return block_alignment; }

/// The bytes that the list's nodes and words may take.
EXPORT(list_heap_cap) std::uint32_t list_heap_cap() { return kListHeap; }

/// The calls recorded: how many, and per call the node and the word's offset.
EXPORT(call_total) std::uint32_t call_total() { return calls.size; }
EXPORT(call_nodes) const std::uint32_t* call_nodes() { return calls.node; }
EXPORT(call_words) const std::int32_t* call_words() { return calls.word; }

namespace {
std::string shown;
} // namespace

/// `word` as wrd-dot's boxes show it, cut to `columns` (0: whole); the text
/// stays until the next call, and shown_size gives its length in bytes.
EXPORT(show_word) const char* show_word(const char* word, std::int32_t columns)
{
    shown = shown_word(word);
    if (columns > 0) {
        shown = fit_columns(shown, columns);
    }
    return shown.c_str();
}
EXPORT(shown_size) std::uint32_t shown_size() { return static_cast<std::uint32_t>(shown.size()); }
/// The columns of a box's word, where a longer word is cut.
EXPORT(word_columns) std::int32_t word_columns() { return NodeBox::kWordColumns; }
