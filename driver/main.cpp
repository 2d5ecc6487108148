// wrd: counts the words of ./wrd.txt in a linked list and prints the list's structure.
#include "count_words.h"
#include "load_text.h"
#include "word_list.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kReportNotWritten = 4;
constexpr int kWordsLost = 5;

} // namespace

// Loads, seeds, counts, reports and releases. A word that finds no memory is
// skipped and counting goes on, but the run then ends with kWordsLost, since
// the report lacks it. The report counts as written only if printf wrote every
// line whole and standard output's error indicator is still clear after the
// last flush: a write that failed, during the report or at the flush, sets it.
// A report not written outranks a lost word.
int main()
{
    WordList data = nullptr;

    char* text = nullptr;
    const LoadStatus status = load_text("wrd.txt", &text);
    if (status == kCannotOpen) {
        std::printf("\nSoubor nelze otevrit!\n");
    }
    if (status != kLoaded) {
        return status;
    }

    bool lost = false;
    for (const char* seed : kSeeds) {
        lost |= !add_word(&data, seed);
    }
    lost |= !count_words(&data, text);

    bool written = print_list(&data);
    (void)std::fflush(stdout);
    written &= std::ferror(stdout) == 0;

    free_list(&data);
    std::free(text);
    if (!written) {
        return kReportNotWritten;
    }
    return lost ? kWordsLost : EXIT_SUCCESS;
}
