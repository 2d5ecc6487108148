// wrd-dot: draws a wrd report as a Graphviz graph of its linked list.
//   wrd | wrd-dot | dot -Tsvg > list.svg
#include "report.h"

#include <cstdio>
#include <optional>
#include <string>
#include <variant>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

const char* const kUsage = "usage: wrd | wrd-dot [-c N] | dot -Tsvg > list.svg\n"
                           "Reads one wrd report on standard input and writes its list as a DOT graph.\n"
                           "  -c, --columns N  boxes per row, from 1 to 64 (default 4)\n"
                           "  -h, --help       print this help and exit\n"
                           "      --version    print the version and exit\n";

struct Options {
    int columns = 4;
    bool help = false;
    bool version = false;
};

// The options, or nothing when an argument is unknown, or when N is missing,
// not a number or out of range.
std::optional<Options> parse_arguments(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "-h" || argument == "--help") {
            options.help = true;
        } else if (argument == "--version") {
            options.version = true;
        } else if ((argument == "-c" || argument == "--columns") && i + 1 < argc) {
            const std::string n = argv[++i];
            if (n.empty() || n.size() > 3 || n.find_first_not_of("0123456789") != std::string::npos) {
                return std::nullopt;
            }
            options.columns = std::stoi(n);
            if (options.columns < 1 || options.columns > 64) {
                return std::nullopt;
            }
        } else {
            return std::nullopt;
        }
    }
    return options;
}

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
    const std::optional<Options> options = parse_arguments(argc, argv);
    if (!options || options->help) {
        (void)std::fputs(kUsage, options ? stdout : stderr);
        return options ? 0 : 2;
    }
    if (options->version) {
        (void)std::printf("wrd-dot %s\n", WRD_VERSION);
        return 0;
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
    const std::string dot = write_dot(std::get<Report>(parsed), options->columns);
    if (std::fwrite(dot.data(), 1, dot.size(), stdout) != dot.size() || std::fflush(stdout) != 0) {
        (void)std::fputs("wrd-dot: cannot write standard output\n", stderr);
        return 1;
    }
    return 0;
}
