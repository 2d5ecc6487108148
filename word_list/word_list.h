// The word list: every distinct word seen so far with the number of times it was
// recorded, kept as a singly linked list in which the newest word stands first.
#pragma once

#include <cstdint>

/// One distinct word. The node owns `word`, a heap copy of exactly its length
/// plus the terminator; `count` is at least 1; `next` is null for the last node.
struct WordNode {
    char* word;
    std::int32_t count;
    WordNode* next;
};

/// A list is the address of its first node; null is the empty list. The caller
/// owns the `WordList` variable and every operation takes its address.
using WordList = WordNode*;

/// Records one occurrence of `word`: raises the count of the node holding the
/// byte-equal word, or puts a new node holding a copy of it first. Returns false,
/// with the list and the heap exactly as before, when memory runs out.
bool add_word(WordList* list, const char* word);

/// Writes the list's structure to standard output; the list is not changed. An
/// empty list prints "Seznam je prazdny."; otherwise a start line with the first
/// node's address comes first, then one line per node, such as
///   1 Adresa: 0x55d0c3a4e2c0 Cetnost:   2 Slovo: slovo  Dalsi: 0x55d0c3a4e2a0
/// Returns false when printf could not write a line whole (a word near 2 GiB
/// overflows its count without marking the stream), so the caller can tell.
bool print_list(const WordList* list);

/// Releases every node and its word and leaves `*list` null. Returns false, doing
/// nothing, when the list is already empty.
bool free_list(WordList* list);
