// Fuzzes what wrd does with any wrd.txt: splits and counts the text with the
// very code that wrd runs, then checks the list against a plain model, the
// list's report byte for byte against the form it must have and as wrd-dot
// reads it back, and the release of the list.
#include "check.h"
#include "count_words.h"
#include "report.h"
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
#include <variant>
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
    std::vector<std::uintptr_t> addresses;
    for (const WordNode* node = list; node != nullptr; node = node->next) {
        counts.emplace_back(node->word, node->count);
        addresses.push_back(reinterpret_cast<std::uintptr_t>(node));
    }
    check(counts == model(input, false), "the list holds the model's words and counts, in its order");

    const std::string printed = report_of(&list);
    check(printed == list_report(list), "the report has its form, byte for byte");
    const auto parsed = parse_report(printed);
    check(std::holds_alternative<Report>(parsed), "wrd-dot reads the report");
    const Report& report = std::get<Report>(parsed);
    check(report.nodes.size() == counts.size(), "the report has a line per node");
    check(counts.empty() || address_value(report.start) == addresses[0], "the start is the first node");
    for (std::size_t i = 0; i < report.nodes.size(); ++i) {
        const ReportNode& node = report.nodes[i];
        check(node.word == counts[i].first && node.count == counts[i].second, "the report's word and count");
        check(address_value(node.address) == addresses[i], "the report's own address");
        check(address_value(node.next) == (i + 1 < addresses.size() ? addresses[i + 1] : 0),
              "each successor is the next node's own address");
    }

    check(free_list(&list) == !counts.empty(), "free_list is false for the empty list only");
    check(list == nullptr, "the released list is empty");
    return 0;
}
