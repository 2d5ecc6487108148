// The code that the page shows, run as wrd runs add_word: the seed words
// given after the separators, then the words of wrd.txt up to its first zero
// byte. Prints the list with the page's print_list, so that the end-to-end
// test holds it beside wrd's report, and frees it with the page's free_list.
// usage: page_code SEPARATORS SEED...
#include "page_code.h"

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
    const bool printed = print_list(&list);
    const bool freed = free_list(&list) && list == nullptr;
    return std::fflush(stdout) == 0 && printed && freed ? ok ? 0 : 5 : 4;
}
