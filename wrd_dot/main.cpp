// wrd-dot: draws a wrd report as a Graphviz graph of its linked list, as an SVG
// picture, or as a page that steps through the run that made it.
//   wrd | wrd-dot | dot -Tsvg > list.svg
//   wrd | wrd-dot -T html > steps.html
#include "arguments.h"
#include "load_text.h"
#include "report.h"
#include "word_text.h"
#include "writers.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

const char* const kUsage = "usage: wrd | wrd-dot [-c N] [-T dot|svg|html] [--text FILE] > list.dot\n"
                           "Reads one wrd report on standard input and writes its list as a DOT graph,\n"
                           "as an SVG picture, or as a page that steps through the run that made it.\n"
                           "  -c, --columns N       boxes per row, from 1 to 64 (default 4)\n"
                           "  -T, --format FORMAT   dot (default), svg or html\n"
                           "      --text FILE       the text that wrd read, for html (default wrd.txt)\n"
                           "  -h, --help            print this help and exit\n"
                           "      --version         print the version and exit\n";

constexpr int kWrong = 1; // bad input, or a read or write that failed
constexpr int kUsageError = 2;
constexpr int kOutOfMemory = 3;

const char* const kCannotWrite = "wrd-dot: cannot write standard output\n";

// Text asked for by --help or --version; it too must be written whole.
int print(const std::string& text)
{
    if (std::fputs(text.c_str(), stdout) >= 0 && std::fflush(stdout) == 0) {
        return 0;
    }
    (void)std::fputs(kCannotWrite, stderr);
    return kWrong;
}

// Why the text could not be loaded, as load_text said; the default name gets a
// hint, since a user who ran wrd elsewhere may not know of --text.
std::string load_failure(const Options& options, LoadStatus status, int error)
{
    const std::string why =
        status == kEmpty ? "it is empty, or says its length is 0, and wrd reads no such file"
        : error == EFBIG ? "it is longer than 2,147,483,647 bytes, the most that wrd reads"
        : error == 0     ? "it is not a regular file"
                         : std::strerror(error);
    const std::string hint = options.text == Options{}.text ? " (--text FILE names another)" : "";
    return "cannot read the text \"" + shown_word(options.text) + "\": " + why + hint;
}

// The page: the text is loaded as wrd loads it, with the same limits, and
// replayed; it must give this very report, or nothing is written.
int write_page(const Report& report, const Options& options)
{
    char* loaded = nullptr;
    int error = 0;
    const LoadStatus status = load_text(options.text.c_str(), &loaded, &error);
    if (status == kNoMemory && error != EFBIG) {
        throw std::bad_alloc();
    }
    if (status != kLoaded) {
        (void)std::fprintf(stderr, "wrd-dot: %s\n", load_failure(options, status, error).c_str());
        return kWrong;
    }
    const std::unique_ptr<char, decltype(&std::free)> owned(loaded, &std::free);
    // The text ends at its first zero byte, as wrd counts it.
    const std::string_view text(loaded);
    if (report.nodes.empty()) {
        // "Seznam je prazdny.", which no run of wrd prints: the page with no run.
        if (write_html(report, Run{}, text, stdout)) {
            return 0;
        }
        (void)std::fputs("wrd-dot: an empty list makes a page only where wrd-dot has the page's module\n",
                         stderr);
        return kWrong;
    }
    const auto run = replay(report, text);
    if (const auto* mismatch = std::get_if<std::string>(&run)) {
        (void)std::fprintf(stderr, "wrd-dot: the report is not the one that \"%s\" gives: %s\n",
                           shown_word(options.text).c_str(), mismatch->c_str());
        return kWrong;
    }
    return write_html(report, std::get<Run>(run), text, stdout) ? 0 : -1;
}

// Reads the report, line by line, and writes its picture as it is made.
int draw(const Options& options)
{
#ifdef _WIN32
    // Bytes as they are: text mode would end the input at a 0x1A in a word.
    (void)_setmode(_fileno(stdin), _O_BINARY);
#endif
    const auto read = read_report(stdin);
    if (const auto* error = std::get_if<ReportError>(&read)) {
        if (error->line == 0) {
            (void)std::fprintf(stderr, "wrd-dot: cannot read standard input: %s\n", std::strerror(errno));
        } else {
            (void)std::fprintf(stderr, "wrd-dot: line %d: %s\n", error->line, error->what.c_str());
        }
        return kWrong;
    }
    const Report& report = std::get<Report>(read);
    // wrd ends every list in NULL: a list that ends elsewhere is drawn as it
    // stands, but most likely lost its last lines on the way. The page cannot
    // step through it, since its text gives another list.
    if (!report.nodes.empty() && report.nodes.back().target != report.nodes.size()) {
        if (options.format == "html") {
            (void)std::fputs("wrd-dot: the list does not end in NULL, so the report may have been cut short: "
                             "the page needs it whole\n",
                             stderr);
            return kWrong;
        }
        (void)std::fputs(
            "wrd-dot: warning: the list does not end in NULL; the report may have been cut short\n", stderr);
    }
    int status = 0;
    if (options.format == "html") {
        status = write_page(report, options);
    } else if (options.format == "svg") {
        status = write_svg(report, options.columns, stdout) ? 0 : -1;
    } else {
        status = write_dot(report, options.columns, stdout) ? 0 : -1;
    }
    if (status < 0 || (status == 0 && std::fflush(stdout) != 0)) {
        (void)std::fputs(kCannotWrite, stderr);
        return kWrong;
    }
    return status;
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
        return draw(options);
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    (void)std::fputs("wrd-dot: out of memory\n", stderr);
    return kOutOfMemory;
}
