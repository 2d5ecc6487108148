// wrd: counts the words of ./wrd.txt in a linked list and prints the list's structure.
#include "load_text.h"
#include "word_list.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char* const kSeeds[] = {"pokus", "druhy", "pokus", "pokus"};
const char* const kSeparators = " \r\n\t,.?!";
constexpr int kReportNotWritten = 4;

} // namespace

// Loads, seeds, counts, reports and releases. The report counts as written only
// if standard output's error indicator is still clear after the last flush: a
// write that failed, during the report or at the flush, sets it.
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

    for (const char* seed : kSeeds) {
        add_word(&data, seed);
    }
    for (char* word = std::strtok(text, kSeparators); word != nullptr;
         word = std::strtok(nullptr, kSeparators)) {
        add_word(&data, word);
    }

    print_list(&data);
    (void)std::fflush(stdout);
    const bool written = std::ferror(stdout) == 0;

    free_list(&data);
    std::free(text);
    return written ? EXIT_SUCCESS : kReportNotWritten;
}
