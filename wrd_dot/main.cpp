// wrd-dot: draws a wrd report as a Graphviz graph of its linked list.
//   wrd | wrd-dot | dot -Tsvg > list.svg
#include "report.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <variant>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

constexpr int kRowWidth = 4;

const char* const kUsage = "usage: wrd | wrd-dot | dot -Tsvg > list.svg\n"
                           "Reads one wrd report on standard input and writes its list as a DOT graph.\n";

std::string read_all(std::FILE* in)
{
    std::string text;
    char block[65536];
    for (std::size_t got; (got = std::fread(block, 1, sizeof block, in)) > 0;) {
        text.append(block, got);
    }
    return text;
}

} // namespace

// Reads the whole input and checks it before writing anything, so that bad
// input leaves standard output empty.
int main(int argc, char** argv)
{
    if (argc > 1) {
        const bool help =
            argc == 2 && (std::strcmp(argv[1], "-h") == 0 || std::strcmp(argv[1], "--help") == 0);
        (void)std::fputs(kUsage, help ? stdout : stderr);
        return help ? 0 : 2;
    }
#ifdef _WIN32
    // Bytes as they are: text mode would end the input at a 0x1A in a word.
    (void)_setmode(_fileno(stdin), _O_BINARY);
#endif
    const std::string text = read_all(stdin);
    if (std::ferror(stdin) != 0) {
        (void)std::fputs("wrd-dot: cannot read standard input\n", stderr);
        return 1;
    }
    const auto parsed = parse_report(text);
    if (const auto* error = std::get_if<ReportError>(&parsed)) {
        (void)std::fprintf(stderr, "wrd-dot: line %d: %s\n", error->line, error->what.c_str());
        return 1;
    }
    const std::string dot = write_dot(std::get<Report>(parsed), kRowWidth);
    if (std::fwrite(dot.data(), 1, dot.size(), stdout) != dot.size() || std::fflush(stdout) != 0) {
        (void)std::fputs("wrd-dot: cannot write standard output\n", stderr);
        return 1;
    }
    return 0;
}
