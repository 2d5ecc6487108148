// wrd-dot: draws a wrd report as a Graphviz graph of its linked list.
//   wrd | wrd-dot | dot -Tsvg > list.svg
#include "arguments.h"
#include "report.h"

#include <cstdio>
#include <new>
#include <stdexcept>
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

constexpr int kWrong = 1; // bad input, or a read or write that failed
constexpr int kUsageError = 2;
constexpr int kNoMemory = 3;

// Text asked for by --help or --version; it too must be written whole.
int print(const std::string& text)
{
    const bool written = std::fputs(text.c_str(), stdout) >= 0 && std::fflush(stdout) == 0;
    return written ? 0 : kWrong;
}

// Reads the report, line by line, and writes its graph as it is made.
int draw(int columns)
{
#ifdef _WIN32
    // Bytes as they are: text mode would end the input at a 0x1A in a word.
    (void)_setmode(_fileno(stdin), _O_BINARY);
#endif
    const auto read = read_report(stdin);
    if (const auto* error = std::get_if<ReportError>(&read)) {
        if (error->line == 0) {
            (void)std::fprintf(stderr, "wrd-dot: cannot read standard input\n");
        } else {
            (void)std::fprintf(stderr, "wrd-dot: line %d: %s\n", error->line, error->what.c_str());
        }
        return kWrong;
    }
    if (!write_dot(std::get<Report>(read), columns, stdout) || std::fflush(stdout) != 0) {
        (void)std::fputs("wrd-dot: cannot write standard output\n", stderr);
        return kWrong;
    }
    return 0;
}

} // namespace

// A report too big for memory ends with one line, not an abort. No other
// exception can arise; one that did would be a fault, and aborts.
int main(int argc, char** argv) // NOLINT(bugprone-exception-escape)
{
    try {
        const auto parsed = parse_arguments(argc, argv);
        if (const auto* wrong = std::get_if<std::string>(&parsed)) {
            (void)std::fprintf(stderr, "wrd-dot: %s\n%s", wrong->c_str(), kUsage);
            return kUsageError;
        }
        const Options& options = std::get<Options>(parsed);
        if (options.help) {
            return print(kUsage);
        }
        if (options.version) {
            return print(std::string("wrd-dot ") + WRD_VERSION + "\n");
        }
        return draw(options.columns);
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    (void)std::fputs("wrd-dot: out of memory\n", stderr);
    return kNoMemory;
}
