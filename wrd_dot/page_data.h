// The data that the stepping page reads: made once, here, from a run, both for
// wrd-dot's page of a report and for a text run by the page's module.
#pragma once

#include "replay.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

/// A node of the run's list at its end, in list order (newest first): its
/// address as print_list writes it, and its word's bytes.
struct PageNode {
    std::string address;
    std::string_view word;
};

/// One node as the module's memory holds it at the run's end: the node's and
/// its word's addresses, its count and next as stored, the word's size with its
/// terminator, and its first bytes (at most kWordHead).
struct NodeMemory {
    static constexpr std::size_t kWordHead = 24;
    std::uint32_t at;
    std::uint32_t word_at;
    std::int32_t count;
    std::uint32_t next;
    std::uint32_t word_size;
    std::string word_head;
};

/// The layout of a node as the module's compiler made it, and each node's
/// memory, in list order: what a typed run's memory view starts from.
struct PageMemory {
    std::uint32_t node_size;
    std::uint32_t word_offset;
    std::uint32_t count_offset;
    std::uint32_t next_offset;
    std::vector<NodeMemory> nodes;
};

/// The number of nodes that each call of `run` compared, in call order: a hit
/// at position i compares i nodes; a miss, or a call that found no memory,
/// every node of the list as it stood.
std::vector<std::uint32_t> compares_of(const Run& run, std::size_t nodes);

/// The page's data for `run` over `nodes` and `text` (up to its first zero
/// byte), as one JSON object; `<` is written \u003c, so that it can stand in
/// a script element. Its members:
///   "seeds": the calls before the text's first word;
///   "addresses": each node's address, list order (a report index is an index here);
///   "words": each node's word as the boxes show it whole (shown_word);
///   "fitted": {"i": word}, the words cut to a box's columns, only those cut;
///   "calls": per add_word call, its node's index, or -1 when it found no memory;
///   "lost": per word of the text whose call found no memory, in order, the
///       word as shown;
///   "compares": per call, the nodes it compared (compares_of);
///   "gaps": per word of the text, its call's, the UTF-16 units of "source"
///       between the end of the word before it (or the start) and its start;
///   "source": the text with each word as shown, every separator as it is;
///   "memory" (a typed run only), as the memory holds it at the end:
///       "size", "word", "count", "next": a node's size and its fields'
///       offsets; per node, in list order: "at" its address, "wordAt" its
///       word's, "counts" and "nexts" as stored, "sizes" its word's size with
///       the terminator, "heads" the word's first bytes in hex; "order": the
///       nodes (2i) and words (2i + 1) by address, lowest first.
std::string page_data(const std::vector<PageNode>& nodes, const Run& run, std::string_view text,
                      const PageMemory* memory = nullptr);
