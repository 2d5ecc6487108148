// The code that the page shows, run as wrd runs add_word: the seed words
// given after the separators, then the words of wrd.txt up to its first zero
// byte. Prints the list as wrd's report does, so that the end-to-end test
// holds the two lists side by side, and frees it.
// usage: page_code SEPARATORS SEED...
#include "page_code.h"

#include "report_line.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 2) {
        return 2;
    }
    const std::string separators = argv[1];
    std::ifstream in("wrd.txt", std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    text = text.substr(0, text.find('\0'));
    WordNode* list = nullptr;
    bool ok = true;
    for (int seed = 2; seed < argc; ++seed) {
        ok = add_word(&list, argv[seed]) && ok;
    }
    for (std::size_t at = text.find_first_not_of(separators); at != std::string::npos;) {
        const std::size_t end = text.find_first_of(separators, at);
        ok = add_word(&list, text.substr(at, end - at).c_str()) && ok;
        at = text.find_first_not_of(separators, end);
    }
    const std::string report = list_report(list);
    while (list != nullptr) {
        WordNode* next = list->next;
        delete[] list->word;
        delete list;
        list = next;
    }
    return std::fputs(report.c_str(), stdout) >= 0 && ok ? 0 : 5;
}
