// wrd-dot: draws a wrd report as a Graphviz graph of its linked list, as an SVG
// picture, or as a page that steps through the run that made it.
//   wrd | wrd-dot | dot -Tsvg > list.svg
//   wrd | wrd-dot -T html > steps.html
#include "draw.h"
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

const char* const kUsage = "usage: wrd | wrd-dot [-c N] [-T dot|svg|html] [--text FILE] > list.dot\n"
                           "Reads one wrd report on standard input and writes its list as a DOT graph,\n"
                           "as an SVG picture, or as a page that steps through the run that made it.\n"
                           "  -c, --columns N       boxes per row, from 1 to 64 (default 4)\n"
                           "  -T, --format FORMAT   dot (default), svg or html\n"
                           "      --text FILE       the text that wrd read, for html (default wrd.txt)\n"
                           "  -h, --help            print this help and exit\n"
                           "      --version         print the version and exit\n";

struct Options {
    int columns = 4;
    std::string format = "dot";
    std::string text = "wrd.txt";
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
        } else if (argument.compare(0, 2, "-T") == 0 && argument.size() > 2) {
            options.format = argument.substr(2);
        } else if (argument.compare(0, 9, "--format=") == 0) {
            options.format = argument.substr(9);
        } else if ((argument == "-T" || argument == "--format") && i + 1 < argc) {
            options.format = argv[++i];
        } else if (argument.compare(0, 7, "--text=") == 0 && argument.size() > 7) {
            options.text = argument.substr(7);
        } else if (argument == "--text" && i + 1 < argc) {
            options.text = argv[++i];
        } else {
            return std::nullopt;
        }
    }
    if (options.format != "dot" && options.format != "svg" && options.format != "html") {
        return std::nullopt;
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

// The whole file, or nothing when it cannot be opened or read.
std::optional<std::string> read_file(const std::string& path)
{
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (in == nullptr) {
        return std::nullopt;
    }
    std::string text = read_all(in);
    const bool read = std::ferror(in) == 0;
    (void)std::fclose(in);
    if (!read) {
        return std::nullopt;
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
    const Report& report = *std::get_if<Report>(&parsed); // the error returned above
    bool written = false;
    if (options->format == "html") {
        // The page replays the text, so the text must give this very report.
        const std::optional<std::string> words = read_file(options->text);
        if (!words) {
            (void)std::fprintf(stderr, "wrd-dot: cannot read %s\n", options->text.c_str());
            return 1;
        }
        const auto run = replay(report, *words);
        const auto* steps = std::get_if<std::vector<std::uint32_t>>(&run);
        if (steps == nullptr) {
            (void)std::fprintf(stderr, "wrd-dot: the report is not the one that %s gives: %s\n",
                               options->text.c_str(), std::get_if<std::string>(&run)->c_str());
            return 1;
        }
        written = write_html(report, *steps, options->columns, stdout);
    } else if (options->format == "svg") {
        written = write_svg(report, options->columns, stdout);
    } else {
        const std::string dot = write_dot(report, options->columns);
        written = std::fwrite(dot.data(), 1, dot.size(), stdout) == dot.size() && std::fflush(stdout) == 0;
    }
    if (!written) {
        (void)std::fputs("wrd-dot: cannot write standard output\n", stderr);
        return 1;
    }
    return 0;
}
