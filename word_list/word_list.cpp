#include "word_list.h"
#include "report_words.h"

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <new>

// The GCOVR_EXCL_BR_LINE markers hide the null check that each delete adds:
// the pointers deleted here are never null.

namespace {

// A hint to the cache, where the compiler offers one; without it the scan is
// the same, only slower.
inline void prefetch(const void* address)
{
#if defined(__has_builtin)
#if __has_builtin(__builtin_prefetch)
    __builtin_prefetch(address);
#endif
#endif
    (void)address;
}

} // namespace

// Each visit needs two loads in a row, the node and then its word. While one
// node's word is compared, the next node's word is already asked for, so that
// its load overlaps the walk instead of waiting behind it.
// The scan settles nearly every mismatch on the first two bytes before it calls
// strcmp; they are compared without a branch, since a branch on the first byte
// alone mispredicts too often. w[w[0] != 0] is the second byte of w, or the
// terminator of an empty w, so no read leaves the copy.
bool add_word(WordList* list, const char* word)
{
    const char first = word[0];
    const char second = word[first != '\0'];
    for (WordNode* node = *list; node != nullptr; node = node->next) {
        if (node->next != nullptr) {
            prefetch(node->next->word);
        }
        const char* w = node->word;
        const unsigned differ =
            static_cast<unsigned char>(w[0] ^ first) | static_cast<unsigned char>(w[w[0] != '\0'] ^ second);
        if (differ == 0 && std::strcmp(w, word) == 0) {
            ++node->count;
            return true;
        }
    }

    auto* node = new (std::nothrow) WordNode;
    if (node == nullptr) {
        return false;
    }
    const std::size_t size = std::strlen(word) + 1;
    auto* copy = new (std::nothrow) char[size];
    if (copy == nullptr) {
        delete node; // GCOVR_EXCL_BR_LINE
        return false;
    }
    std::memcpy(copy, word, size);

    // Link the new node in front of the old first node.
    *node = WordNode{copy, 1, *list};
    *list = node;
    return true;
}

// printf's result is the only sign of a line it gave up on: past INT_MAX
// characters it returns -1 and leaves the stream's error indicator clear.
bool print_list(const WordList* list)
{
    if (*list == nullptr) {
        return std::printf("%s\n", kEmptyList) >= 0;
    }
    bool written = std::printf("%s: %p\n", kListStart, static_cast<const void*>(*list)) >= 0;
    int position = 1;
    for (const WordNode* node = *list; node != nullptr; node = node->next) {
        written &= std::printf("%3d%s%p%s%3d%s%s%s%p\n", position++, kAddressLabel,
                               static_cast<const void*>(node), kCountLabel, node->count, kWordLabel,
                               node->word, kNextLabel, static_cast<const void*>(node->next)) >= 0;
    }
    return written;
}

bool free_list(WordList* list)
{
    if (*list == nullptr) {
        return false;
    }
    while (*list != nullptr) {
        WordNode* node = *list;
        // Unlink the first node before releasing it.
        *list = node->next;
        delete[] node->word; // GCOVR_EXCL_BR_LINE
        delete node;         // GCOVR_EXCL_BR_LINE
    }
    return true;
}
