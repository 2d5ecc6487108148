// Fuzzes what wrd does with any wrd.txt: splits and counts the text with the
// very code that wrd runs, then checks the list against a plain model, the
// list's report byte for byte against the form it must have and as wrd-dot
// reads it back, and the release of the list.
#include "check.h"
#include "count_words.h"
#include "report_line.h"
#include "text_model.h"
#include "word_list.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

// What print_list writes to standard output, which goes to a file of its own.
std::string report_of(const WordList* list)
{
    static std::FILE* const capture = [] {
        std::FILE* file = std::tmpfile();
        (void)::dup2(::fileno(file), STDOUT_FILENO);
        return file;
    }();
    (void)capture;
    check(print_list(list), "print_list writes every line whole");
    (void)std::fflush(stdout);
    std::string out(static_cast<std::size_t>(::lseek(STDOUT_FILENO, 0, SEEK_CUR)), '\0');
    (void)::pread(STDOUT_FILENO, out.data(), out.size(), 0);
    (void)::ftruncate(STDOUT_FILENO, 0);
    (void)::lseek(STDOUT_FILENO, 0, SEEK_SET);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::vector<char> text(input.begin(), input.end());
    text.push_back('\0');

    WordList list = nullptr;
    check(count_words(&list, text.data()), "every word is recorded");
    Counts counts;
    std::vector<std::uint64_t> addresses;
    for (const WordNode* node = list; node != nullptr; node = node->next) {
        counts.emplace_back(node->word, node->count);
        addresses.push_back(reinterpret_cast<std::uintptr_t>(node));
    }
    check(counts == model(input, false), "the list holds the model's words and counts, in its order");

    const std::string printed = report_of(&list);
    check(printed == list_report(list), "the report has its form, byte for byte");
    Counts read;
    std::vector<std::uint64_t> read_addresses;
    check(read_back(printed, &read, &read_addresses).empty(), "wrd-dot reads the report, its form and links");
    check(read == counts && read_addresses == addresses, "the report's words, counts and own addresses");

    check(free_list(&list) == !counts.empty(), "free_list is false for the empty list only");
    check(list == nullptr, "the released list is empty");
    return 0;
}
