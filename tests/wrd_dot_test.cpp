#include "arguments.h"
#include "arrow_geometry.h"
#include "layout.h"
#include "page_data.h"
#include "replay.h"
#include "report.h"
#include "report_line.h"
#include "shell.h"
#include "skipped_rows.h"
#include "text_model.h"
#include "word_text.h"
#include "writers.h"

#include <gtest/gtest.h>
#ifdef WRD_ICU
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/uniset.h>
#include <unicode/unistr.h>
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace {

// Names this process's temporary files apart from those of other test runs
// that share the temporary directory.
const std::string kRunName = "wrd_dot_" + std::to_string(std::random_device{}());

// A built program as the shell starts it: through the cross build's emulator, if any.
std::string built(const std::string& path)
{
    return sizeof(WRD_TOOL_EMULATOR) > 1 ? WRD_TOOL_EMULATOR " " + quoted(path) : quoted(path);
}

// Runs the shell command line `command`, with `input` on its standard input, as
// the real programs it names, not models of them.
Ran run(const std::string& command, const std::string& input = "")
{
    return run_shell(command, input, testing::TempDir() + kRunName + "_tool");
}

// The path of a program that the tests run (configured as `path`), or empty,
// with the reason in `*why`, where the tests cannot run it.
std::string tool(const std::string& path, const std::string& name, std::string* why)
{
    if (path.empty()) {
        *why += WRD_TOOLS_RUN_HERE
                    ? WRD_MISSING_TOOL + name + " was not found when the build was configured. "
                    : "SKIPPED: " + name + " does not run where this cross build's tests run. ";
    }
    return path;
}

// What a writer streamed to a file, read back.
template <typename Writer> std::string captured(Writer write)
{
    std::FILE* file = std::tmpfile();
    EXPECT_TRUE(write(file));
    std::string text(static_cast<std::size_t>(std::ftell(file)), '\0');
    std::rewind(file);
    text.resize(std::fread(text.data(), 1, text.size(), file));
    (void)std::fclose(file);
    return text;
}

// The picture of a report in `format` (for html, of the run of `text`) in rows
// of `columns`, read from a file as wrd-dot reads standard input; or "line N:
// what is wrong", with "(stopped early)" when the reader left the rest of the
// input unread; or the replay's mismatch.
std::string draw(const std::string& input, const std::string& format = "dot", const std::string& text = "",
                 int columns = 4)
{
    std::FILE* file = std::tmpfile();
    (void)std::fwrite(input.data(), 1, input.size(), file);
    std::rewind(file);
    const auto parsed = read_report(file);
    const long unread = static_cast<long>(input.size()) - std::ftell(file);
    (void)std::fclose(file);
    if (const auto* error = std::get_if<ReportError>(&parsed)) {
        return "line " + std::to_string(error->line) + ": " + error->what +
               (unread > 0 ? " (stopped early)" : "");
    }
    const Report& report = std::get<Report>(parsed);
    if (format == "html") {
        const auto run = replay(report, text);
        if (const auto* mismatch = std::get_if<std::string>(&run)) {
            return *mismatch;
        }
        return captured([&](std::FILE* out) { return write_html(report, std::get<Run>(run), text, out); });
    }
    if (format == "svg") {
        return captured([&](std::FILE* out) { return write_svg(report, columns, out); });
    }
    return captured([&](std::FILE* out) { return write_dot(report, columns, out); });
}

// The report of the list that wrd makes of `text`, seeds first.
std::string report_of(const std::string& text) { return model_report(model(text, true)); }

// The report that the text "pokus a b a druhy" gives: b, a twice, druhy twice, pokus 4 times.
const std::string kRunReport = report_of("pokus a b a druhy");

// `text` `times` times over.
std::string repeat(const std::string& text, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += text;
    }
    return out;
}

// A report of `n` nodes whose words are the `words` given, then w<position>.
std::string list(std::size_t n, const std::vector<std::string>& words = {})
{
    Counts counts;
    for (std::size_t i = 0; i < n; ++i) {
        counts.emplace_back(i < words.size() ? words[i] : "w" + std::to_string(i + 1), 1);
    }
    return model_report(counts);
}

TEST(WrdDot, DrawsWholeReportsAndNamesTheLineOfAnyOther)
{
    const std::string linux_report = "Zacatek seznamu: 0x5d0c3a4e2c0\n" +
                                     report_line(1, "0x5d0c3a4e2c0", 1, "b", "0x5d0c3a4e2a0") +
                                     report_line(2, "0x5d0c3a4e2a0", 1, "pokus", "(nil)");
    const struct {
        const char* what;
        std::string input;
        std::string expected; // a part of the picture, or the error
        const char* format = "dot";
        const char* text = ""; // for html: the text that wrd read
    } cases[] = {
        {"Linux: the start, a link and the null pointer", linux_report,
         "start -> n1 [constraint=false];\n  n1 -> n2 [constraint=false];\n  n2 -> null"},
        {"Windows, CR LF line ends",
         "Zacatek seznamu: 00B40E98\r\n  1 Adresa: 00B40E98 Cetnost:  12 Slovo: a  Dalsi: 00000000\r\n",
         "<td>00B40E98</td></tr><tr><td>12&#215;</td><td><b>a</b></td>"},
        {"64-bit Windows: 16 digits, compared by value whatever their case",
         "Zacatek seznamu: 0000000000C93D60\r\n"
         "  1 Adresa: 0000000000c93d60 Cetnost:   1 Slovo: a  Dalsi: 0000000000000000\r\n",
         "start -> n1 [constraint=false];\n  n1 -> null"},
        {"arrows follow the addresses, not the positions",
         "Zacatek seznamu: 0x30\n" + report_line(1, "0x10", 1, "a", "0x30") +
             report_line(2, "0x20", 1, "b", "(nil)") + report_line(3, "0x30", 1, "c", "0x99"),
         "start -> n3 [constraint=false];\n  n1 -> n3 [constraint=false];\n  n2 -> null [constraint=false];\n"
         "  n3 -> unknown_0x99"},
        {"two links to one unknown address, written two ways: one marker, as first written",
         "Zacatek seznamu: 0x99\n" + report_line(1, "0x10", 1, "a", "0x099"),
         "start -> unknown_0x99 [constraint=false];\n  n1 -> unknown_0x99 [constraint=false];\n"
         "  unknown_0x99 [shape=box, style=dashed, label=\"0x99\\nno such node\"];\n}"},
        {"the empty list", "Seznam je prazdny.\n", "label=\"Seznam je prazdny.\""},
        {"positions of three digits: line 101 starts with a digit", list(100), "n100 -> null [constraint"},
        {"empty input", "", "line 1: the input is empty, not a wrd report"},
        {"yes: the first line is wrong, and the rest is not read", "y\n" + std::string(1 << 20, 'y'),
         "line 1: expected \"Zacatek seznamu: \" or \"Seznam je prazdny.\" (stopped early)"},
        {"zero bytes: no line ends, and none can start so", std::string(1 << 20, '\0'),
         "line 1: expected \"Zacatek seznamu: \" or \"Seznam je prazdny.\" (stopped early)"},
        {"a node's line that goes on past any address",
         "Zacatek seznamu: 0x10\n  1 Adresa: 0x10 Cetnost:   1 Slovo: a  Dalsi: " + std::string(1 << 20, '1'),
         "line 2: the next node's address is not an address (stopped early)"},
        {"more blanks than %3d writes",
         "Zacatek seznamu: 0x10\n   1 Adresa: 0x10 Cetnost:   1 Slovo: a  Dalsi: (nil)\n",
         "line 2: not a node's line"},
        {"a line of another form", "Zacatek seznamu: 0x10\nhello\n", "line 2: not a node's line"},
        {"cut inside a line", linux_report.substr(0, linux_report.size() - 4),
         "line 3: the input ends inside"},
        {"a count that is not a number",
         "Zacatek seznamu: 0x10\n  1 Adresa: 0x10 Cetnost: x Slovo: a  Dalsi: (nil)\n",
         "line 2: the count is not a number"},
        {"a start line alone", "Zacatek seznamu: 0x10\n", "line 2: the input ends before"},
        {"a position out of order", "Zacatek seznamu: 0x10\n" + report_line(2, "0x10", 1, "a", "(nil)"),
         "line 2: position 2 where 1 was expected"},
        {"one address twice, written two ways",
         "Zacatek seznamu: 0x10\n" + report_line(1, "0x10", 1, "a", "0x10") +
             report_line(2, "0x010", 1, "b", "(nil)"),
         "line 3: the address 0x010 is also the node's on line 2"},
        {"svg: each word's label", linux_report, "class=\"word\">pokus</text>", "svg"},
        {"svg: markup escaped for XML; a backslash doubled, as in dot; an escape isolated left to right",
         list(1, {"\"<&>]\\x\x01"}), "class=\"word\">&quot;&lt;&amp;&gt;]\\\\x\u2066\\x01\u2069</text>",
         "svg"},
        {"svg: a word too wide for its box is whole in its tooltip", list(1, {std::string(20, 'w') + "<"}),
         "<title>wwwwwwwwwwwwwwwwwwww&lt;</title>", "svg"},
        {"svg: a word too wide for its box is cut, its ellipsis outside the clip",
         list(1, {std::string(20, 'w') + "<"}),
         "class=\"cut\">\xE2\x80\xA6</text><text x=\"94\" y=\"38\" clip-path=\"url(#cut)\" "
         "class=\"word\">wwwwwwwwwwwwwwwwwww</text>",
         "svg"},
        {"svg: an address that no node has",
         "Zacatek seznamu: 0x10\n" + report_line(1, "0x10", 1, "a", "0x99"),
         ">0x99</text><text x=\"120\" y=\"34\">no such node</text>", "svg"},
        {"html: the run's data, each call's node and compares (a hit at i costs i, a miss the list)",
         kRunReport,
         "{\"seeds\":4,\"addresses\":[\"0x10\",\"0x20\",\"0x30\",\"0x40\"],\"words\":[\"b\",\"a\",\"druhy\","
         "\"pokus\"],\"fitted\":{},\"calls\":[3,2,3,3,3,1,0,1,2],\"compares\":[0,1,2,2,2,2,3,2,3],\"lost\":[]"
         ","
         "\"gaps\":[0,1,1,1,1],\"source\":\"pokus a b a druhy\",\"printed\":\"Zacatek seznamu: 0x10\\n",
         "html", "pokus a b a druhy"},
        {"html: the report as it was printed, CR LF and all",
         std::regex_replace(kRunReport, std::regex("\n"), "\r\n"),
         "\"printed\":\"Zacatek seznamu: 0x10\\u000d\\n  1 Adresa: 0x10 Cetnost:   1 Slovo: b  Dalsi: "
         "0x20\\u000d\\n",
         "html", "pokus a b a druhy"},
        {"html: a text that gives another count", kRunReport,
         "position 2 holds \"a\" 2 times where the text gives \"a\" 3", "html", "pokus a b a druhy a"},
        {"html: a text that gives another word", kRunReport,
         "position 1 holds \"b\" 1 time where the text gives \"c\" 1", "html", "pokus a c a druhy"},
        {"html: a text with fewer words", kRunReport, "the text gives 2 distinct words, the report 4 nodes",
         "html", ""},
        {"html: the report's links run elsewhere",
         "Zacatek seznamu: 0x20\n" + report_line(1, "0x20", 1, "druhy", "0x20") +
             report_line(2, "0x10", 3, "pokus", "(nil)"),
         "the link to position 2 points elsewhere", "html", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string out = draw(c.input, c.format, c.text);
        EXPECT_NE(std::string::npos, out.find(c.expected)) << out;
    }
}

// How a word shows, and its text in a DOT label, where the markup's characters
// are entities and each backslash doubled, since dot reads a pair as one.
TEST(WordText, ShowsEachWordAndItsLabel)
{
    const struct {
        const char* what;
        std::string word;
        std::string shown; // by shown_word
        std::string label; // by escape_word
    } cases[] = {
        {"valid UTF-8 stays", "\xc4\x8d\xf0\x9f\x90\x8d", "\xc4\x8d\xf0\x9f\x90\x8d",
         "\xc4\x8d\xf0\x9f\x90\x8d"},
        {"markup stays, as entities in a label; a backslash is a pair, in a label two", R"("<&>{|}]\x)",
         R"("<&>{|}]\\x)", R"(&quot;&lt;&amp;&gt;{|}&#93;\\\\x)"},
        {"control bytes", "a\x01\x1b\x7f", R"(a\x01\x1B\x7F)", R"(a\\x01\\x1B\\x7F)"},
        {"bytes of no valid UTF-8 sequence: stray, cut, overlong, surrogate; no XML character: U+FFFF",
         "\xff\x80\xc4\xc0\xaf\xed\xa0\x80\xef\xbf\xbf", R"(\xFF\x80\xC4\xC0\xAF\xED\xA0\x80\uFFFF)",
         R"(\\xFF\\x80\\xC4\\xC0\\xAF\\xED\\xA0\\x80\\uFFFF)"},
        {"a word too long for dot's label: its start, its end, then its length", std::string(16382, 'a'),
         std::string(11952, 'a') + "\u2026" + std::string(4000, 'a') + " (16,382 bytes)",
         std::string(11952, 'a') + "\u2026" + std::string(4000, 'a') + " (16,382 bytes)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.shown, shown_word(c.word));
        EXPECT_EQ(c.label, escape_word(c.word));
    }
}

// A shown word cut to a box's 20 columns, its ellipsis in the last.
TEST(WordText, CutsAWordToItsColumns)
{
    const struct {
        const char* what;
        std::string shown;
        std::string fitted;
    } cases[] = {
        {"20 columns fit", std::string(20, 'w'), std::string(20, 'w')},
        {"a wide character that no longer fits is cut whole", std::string(19, 'w') + "\u6F22<",
         std::string(19, 'w') + "\u2026"},
        {"12 rockets, each two columns wide, are cut within 20", repeat("\U0001F680", 12),
         repeat("\U0001F680", 9) + "\u2026"},
        {"12 flags are cut between two flags", repeat("\U0001F1E8\U0001F1FF", 12),
         repeat("\U0001F1E8\U0001F1FF", 9) + "\u2026"},
        {"a mark stays with its letter", std::string(18, 'w') + "q\u0323xx",
         std::string(18, 'w') + "q\u0323\u2026"},
        {"an escape is kept whole", std::string(17, 'w') + R"(\u200Bx)", std::string(17, 'w') + "\u2026"},
        {"a lone flag letter takes two columns, and what follows it its own",
         "\U0001F1E6" + std::string(19, 'w'), "\U0001F1E6" + std::string(17, 'w') + "\u2026"},
        {"a word that ends in a flag letter", std::string(18, 'w') + "\U0001F1E6",
         std::string(18, 'w') + "\U0001F1E6"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.fitted, fit_columns(c.shown, NodeBox::kWordColumns));
    }
}

// The text as the page's text box holds it, as a browser reads it: HTML keeps
// tab, LF and CR (as a reference, which it keeps as it is), and each byte of
// what it refuses is U+FFFD.
TEST(WrdDot, TextBoxHoldsTheTextAsTheBrowserReadsIt)
{
    const std::string bad = "\uFFFD";
    const struct {
        const char* what;
        std::string text;
        std::string markup; // after the line feed that HTML drops
    } cases[] = {
        {"blank, tab and LF stay", "a b\tc\nd", "a b\tc\nd"},
        {"CR, alone and before LF", "a\rb\r\n", "a&#13;b&#13;\n"},
        {"markup's characters", "&<>\"'", "&amp;&lt;&gt;\"'"},
        {"C0 controls and DEL", "\x01\x1F\x7F~", bad + bad + bad + "~"},
        {"C1 controls, and the no-break space after them", "\u0080\u009F\u00A0", bad + bad + "\u00A0"},
        {"noncharacters U+FDD0 to U+FDEF, and their neighbours", "\uFDCF\uFDD0\uFDEF\uFDF0",
         "\uFDCF" + bad + bad + "\uFDF0"},
        {"noncharacters U+xFFFE and U+xFFFF, and U+FFFD", "\uFFFD\uFFFE\uFFFF\U0001FFFE\U0010FFFF",
         bad + bad + bad + bad + bad},
        {"stray, cut, overlong and surrogate: a mark a byte", "\x80\xC4 \xC0\xAF\xED\xA0\x80",
         bad + bad + " " + bad + bad + bad + bad + bad},
        {"leads F0 to F4 begin a character", "\U0001F40D\U0010FFFD", "\U0001F40D\U0010FFFD"},
        {"leads F5 to FF begin none", "\xF5\x80\x80\x80\xFF", bad + bad + bad + bad + bad},
        {"a zero byte ends the text", std::string("a\0b", 3), "a"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ("\n" + c.markup, for_text_box(c.text));
    }
}

// parse_arguments on the blank-separated words of `line`: the options, as
// "columns format text", then help and version where set; or its refusal.
std::string arguments(const std::string& line)
{
    std::istringstream words("wrd-dot " + line);
    const std::vector<std::string> args{std::istream_iterator<std::string>(words), {}};
    std::vector<const char*> argv;
    argv.reserve(args.size());
    for (const std::string& arg : args) {
        argv.push_back(arg.c_str());
    }
    const auto parsed = parse_arguments(static_cast<int>(argv.size()), argv.data());
    if (const auto* wrong = std::get_if<std::string>(&parsed)) {
        return *wrong;
    }
    const Options& options = std::get<Options>(parsed);
    return std::to_string(options.columns) + " " + options.format + " " + options.text +
           (options.help ? " help" : "") + (options.version ? " version" : "");
}

// The command line, read as GNU programs read theirs.
// The data of runs that replay never gives: a call that found no memory, and
// words that the page's markup would read as its own.
TEST(WrdDot, PageDataStatesEveryCallAndKeepsTheText)
{
    constexpr std::uint32_t kLost = ::Run::kNoMemory;
    const struct {
        const char* what;
        std::vector<PageNode> nodes;
        ::Run run;
        std::string text;
        std::string expected; // a part of the data
    } cases[] = {
        {"a lost word shows escaped and counts among the text's; its call compared the whole list",
         {{"0x20", "druhy"}, {"0x10", "pokus"}},
         {{1, 0, 1, 1, kLost, 1}, {0, 4}},
         "\xE2\x80\xAE pokus",
         "\"calls\":[1,0,1,1,-1,1],\"compares\":[0,1,2,2,2,2],\"lost\":[\"\\\\u202E\"],\"gaps\":[0,1],"
         "\"source\":\"\\\\u202E pokus\"}"},
        {"line breaks stay; no < can end the script that holds the data",
         {{"0x30", "</a>"}, {"0x20", "druhy"}, {"0x10", "pokus"}},
         {{2, 1, 2, 2, 0, 0}, {0, 6}},
         "</a>\r\n</a>",
         "\"gaps\":[0,2],\"source\":\"\\u003c/a>\\u000d\\n\\u003c/a>\"}"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string data = page_data(c.nodes, c.run, c.text);
        EXPECT_NE(data.find(c.expected), std::string::npos) << data;
    }
}

TEST(WrdDot, ReadsItsArguments)
{
    const struct {
        const char* line;
        const char* expected;
    } cases[] = {
        // N in each form that GNU programs take, leading zeros allowed.
        {"", "4 dot wrd.txt"},
        {"-c5", "5 dot wrd.txt"},
        {"-c 0001", "1 dot wrd.txt"},
        {"--columns=64", "64 dot wrd.txt"},
        {"--columns 1", "1 dot wrd.txt"},
        {"-Tsvg", "4 svg wrd.txt"},
        {"--format=svg -c 3", "3 svg wrd.txt"},
        {"--text=a.txt -T html -h --version", "4 html a.txt help version"},
        // Each refusal names what is wrong.
        {"-c", "option '-c' needs N"},
        {"--columns 0", "option '--columns': N must be a whole number from 1 to 64, not '0'"},
        {"-c 65", "option '-c': N must be a whole number from 1 to 64, not '65'"},
        {"-c x", "option '-c': N must be a whole number from 1 to 64, not 'x'"},
        {"--columns=", "option '--columns': N must be a whole number from 1 to 64, not ''"},
        {"-x", "unknown option '-x'"},
        {"-T png", "option '-T': FORMAT must be dot, svg or html, not 'png'"},
        {"--help=x", "option '--help' takes no value"},
        {"-- a", "unexpected argument 'a'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(c.expected, arguments(c.line));
    }
}

// True when two segments of arrows run down lines less than `apart` pixels
// apart, less than `gap_down` pixels from end to end (below 0: side by side),
// or along lines less than `apart` pixels apart, side by side. With `apart`
// near 0 and `gap_down` 0, they share a stretch of one line; a few pixels
// apart, a reader could not tell them apart.
bool same_lane(Point a1, Point a2, Point b1, Point b2, double apart, double gap_down)
{
    const auto gap = [](double p1, double p2, double q1, double q2) {
        return std::max(std::min(p1, p2), std::min(q1, q2)) - std::min(std::max(p1, p2), std::max(q1, q2));
    };
    return (a1.first == a2.first && b1.first == b2.first && std::abs(a1.first - b1.first) < apart &&
            gap(a1.second, a2.second, b1.second, b2.second) < gap_down) ||
           (a1.second == a2.second && b1.second == b2.second && std::abs(a1.second - b1.second) < apart &&
            gap(a1.first, a2.first, b1.first, b2.first) < 0);
}

// Crafted links, at every width: no arrow runs through a box or a self-link's
// loop, no other link runs along an arrow of the chain, no two links to
// different boxes run down one lane, and a self-link loops on its own box.
TEST(WrdDot, ArrowsKeepOffBoxesAndOffTheChainAtEveryWidth)
{
    const struct {
        const char* what;
        std::vector<int> links; // node i's link: to node k (from 1), 0 for null, 99 for no node
        int start = 1;
    } cases[] = {
        {"a chain, as wrd prints it", {2, 3, 4, 5, 0}},
        {"a skip, a back link, an unknown address and a self-link", {4, 1, 99, 4, 0}},
        {"every node to itself, and the start to the last", {1, 2, 3}, 3},
        {"every node back to the first, the last to null", {1, 1, 1, 1, 1, 0}},
        // A user's reports: lanes ran through the loop at a row's end, and
        // two links took one lane, turning 4 px apart.
        {"a self-link, a skip, a back link, an unknown address", {2, 2, 5, 1, 99, 0}},
        {"three back links, a self-link and two skips", {2, 6, 1, 4, 1, 8, 1, 0}},
    };
    for (const auto& c : cases) {
        const std::size_t n = c.links.size();
        const auto address = [](int k) {
            return k == 0 ? std::string("(nil)") : "0x" + std::to_string(k * 16);
        };
        std::string text = "Zacatek seznamu: " + address(c.start) + "\n";
        for (std::size_t i = 0; i < n; ++i) {
            const int k = static_cast<int>(i) + 1;
            text += report_line(k, address(k), 1, "w" + std::to_string(k), address(c.links[i]));
        }
        const Report report = std::get<Report>(parse_report(text));
        for (int columns = 1; columns <= 64; ++columns) {
            SCOPED_TRACE(std::string(c.what) + ", in rows of " + std::to_string(columns));
            const Layout layout = lay_out(report, columns);
            std::vector<Box> boxes = layout.boxes;
            boxes.push_back(layout.start);
            std::vector<std::vector<Point>> arrows;
            std::vector<bool> chain; // link k runs to slot k: the next box in reading order
            std::vector<bool> self_link;
            for (std::size_t k = 0; k <= n; ++k) {
                arrows.push_back(points_of(link_path(layout, k)));
                chain.push_back(k == 0 ? c.start == 1
                                       : c.links[k - 1] == (k < n ? static_cast<int>(k) + 1 : 0));
                self_link.push_back(k > 0 && c.links[k - 1] == static_cast<int>(k));
                if (self_link.back()) {
                    const Box& own = layout.boxes[k - 1];
                    EXPECT_TRUE(on_edge(arrows[k].front(), own) && on_edge(arrows[k].back(), own));
                }
            }
            EXPECT_EQ("", arrow_through_box(arrows, boxes, self_link));
            for (std::size_t a = 0; a < arrows.size(); ++a) {
                for (std::size_t i = 1; i < arrows[a].size(); ++i) {
                    for (std::size_t b = 0; b < arrows.size(); ++b) {
                        for (std::size_t j = 1; chain[b] && !chain[a] && j < arrows[b].size(); ++j) {
                            EXPECT_FALSE(same_lane(arrows[a][i - 1], arrows[a][i], arrows[b][j - 1],
                                                   arrows[b][j], 1e-6, 0))
                                << "arrow " << a << " along the chain's arrow " << b;
                        }
                        for (std::size_t j = 1;
                             b != a && arrows[b].back() != arrows[a].back() && j < arrows[b].size(); ++j) {
                            EXPECT_FALSE(same_lane(arrows[a][i - 1], arrows[a][i], arrows[b][j - 1],
                                                   arrows[b][j], 6, 6))
                                << "arrows " << a << " and " << b << " down one lane";
                        }
                    }
                }
            }
        }
    }
}

// The texts between `open` and `close` in `text`, in order.
std::vector<std::string> between(const std::string& text, const std::string& open, const std::string& close)
{
    std::vector<std::string> found;
    for (std::size_t at = 0; (at = text.find(open, at)) != std::string::npos;) {
        at += open.size();
        const std::size_t end = text.find(close, at);
        found.push_back(text.substr(at, end - at));
        at = end;
    }
    return found;
}

// Each word shown in a label of its own, no two alike.
void expect_apart(const std::vector<std::string>& labels, std::size_t words)
{
    EXPECT_EQ(words, labels.size());
    EXPECT_EQ(labels.size(), std::set<std::string>(labels.begin(), labels.end()).size());
}

// dot -Tplain gives each node's place and style: every box must be visible,
// box i in row i / columns, rows from the top and boxes from the left.
void expect_rows(const std::string& plain, std::size_t boxes, int columns)
{
    std::vector<std::pair<double, double>> places;
    std::istringstream lines(plain);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::vector<std::string> words{std::istream_iterator<std::string>(fields), {}};
        if (words.size() > 8 && words[0] == "node" && words[1][0] == 'n' && words[1] != "null") {
            EXPECT_NE("invis", words[words.size() - 4]) << words[1];
            places.emplace_back(std::stod(words[2]), std::stod(words[3]));
        }
    }
    ASSERT_EQ(boxes, places.size());
    const auto width = static_cast<std::size_t>(columns);
    for (std::size_t i = 1; i < boxes; ++i) {
        if (i % width != 0) {
            EXPECT_EQ(places[i - 1].second, places[i].second) << "box " << i + 1 << " beside the one before";
            EXPECT_LT(places[i - 1].first, places[i].first) << "box " << i + 1;
        } else {
            EXPECT_GT(places[i - width].second, places[i].second) << "box " << i + 1 << " below its row";
        }
    }
}

// Every picture drawn by the real renderers, with no message: the DOT by dot
// (its labels all apart, its boxes in rows, as -Tplain places them), and the
// SVG by rsvg-convert (Chromium draws it in tests/page_test.py).
TEST(WrdDot, RenderersDrawEveryPictureWithNoMessage)
{
    std::string why;
    const std::string dot = tool(WRD_DOT, "Graphviz's dot", &why);
    const std::string rsvg = tool(WRD_RSVG_CONVERT, "rsvg-convert", &why);
    std::string thousand; // and the two seed words: 1,000 nodes
    for (int i = 1; i <= 998; ++i) {
        thousand += "slovo" + std::to_string(i) + "\n";
    }
    const std::string source = WRD_SOURCE_DIR;
    struct Case {
        std::string what;
        std::string report;
        std::vector<std::string> shows = {}; // labels the picture must show, as dot draws them
        int columns = 4;
    };
    std::vector<Case> cases = {
        {"a one-node list", list(1, {"slovo"})},
        {"the empty list", "Seznam je prazdny.\n"},
        {"the sample", report_of(slurp(source + "/examples/wrd.txt"))},
        {"hostile words, a long word and an unknown address",
         "Zacatek seznamu: 0x10\n" + report_line(1, "0x10", 1, "\"<&>]]\\x\x01\xff\xef\xbf\xbf", "0x20") +
             report_line(2, "0x20", 1, std::string(16382, 'a'), "0x99")},
        {"the sample in rows of 1: a row of one box is no invisible chain", slurp(WRD_SAMPLE_REPORT), {}, 1},
        {"rows of 2", list(5), {}, 2},
        {"rows of 64", list(130), {}, 64},
        {"1,000 nodes", report_of(thousand)},
        // The words that once made dot fail, each alone.
        {"the word ]", report_of("]")},
        {"the word ]]", report_of("]]")},
        {"U+FFFE", report_of("\xef\xbf\xbe")},
        {"U+FFFF", report_of("\xef\xbf\xbf")},
        {"a word whose label would pass graphviz's limit", report_of(std::string(16382, 'a'))},
        {"4,096 bytes that each show as four", report_of(std::string(4096, '\xff'))},
        {"the word \\x01, the byte 0x01, the word \\ and the word \\\\ show apart",
         report_of("\\x01 \x01 \\ \\\\"),
         {"\\\\x01", "\\x01", "\\\\", "\\\\\\\\"}},
        // Words that draw alike unless escaped.
        {"a byte-order mark before the first word", list(2, {"\uFEFFTohle", "Tohle"}), {R"(\uFEFFTohle)"}},
        {"a zero-width space, soft hyphen, word joiner, byte-order mark inside",
         list(5, {"ab", "a\u200Bb", "a\u00ADb", "a\u2060b", "a\uFEFFb"}),
         {R"(a\u200Bb)", R"(a\u00ADb)", R"(a\u2060b)", R"(a\uFEFFb)"}},
        {"a right-to-left override", list(2, {"\u202Eabc", "cba"}), {R"(\u202Eabc)"}},
        {"a composed and a decomposed e acute",
         list(2, {"caf\u00E9", "cafe\u0301"}),
         {"caf\u00E9", R"(cafe\u0301)"}},
        {"a no-break space", list(2, {"a\u00A0b", "a"}), {R"(a\u00A0b)"}},
        {"words of five scripts, with their marks, as they are",
         list(5, {"\u0939\u093F\u0928\u094D\u0926\u0940", "\u05E9\u05B8\u05C1\u05DC\u05D5\u05B9\u05DD",
                  "\u0B95\u0BCA", "\u0E44\u0E17\u0E22", "\uAC00"}),
         {"\u0939\u093F\u0928\u094D\u0926\u0940", "\u05E9\u05B8\u05C1\u05DC\u05D5\u05B9\u05DD",
          "\u0B95\u0BCA", "\u0E44\u0E17\u0E22", "\uAC00"}},
        {"what NFC composes or replaces: Tamil o, a Hangul syllable, the Angstrom, Ohm and Kelvin signs",
         list(10, {"\u0B95\u0BCA", "\u0B95\u0BC6\u0BBE", "\uAC00", "\u1100\u1161", "\u00C5", "\u212B",
                   "\u03A9", "\u2126", "K", "\u212A"}),
         {"\u0B95\u0BC6\\u0BBE", "\u1100\\u1161", R"(\u212B)", R"(\u2126)", R"(\u212A)"}},
        {"marks out of order or with no letter; a grapheme joiner; a variation selector",
         list(6, {"q\u0307\u0323", "q\u0323\u0307", "\u0301a", "a", "a\u034Fb", "\u2764\uFE0F"}),
         {"q\u0307\\u0323", "q\u0323\u0307", R"(\u0301a)", R"(a\u034Fb)", "\u2764\\uFE0F"}},
        {"a Hangul filler and a blank braille pattern, which Unicode files as a letter and a symbol",
         list(3, {"a\u3164b", "a\u2800b", "ab"}),
         {R"(a\u3164b)", R"(a\u2800b)"}},
        {"the mark inside a precomposed letter: \u00F4 then U+0323 against \u1ED9, "
         "\u0227 then U+0323 against \u1EA1 then U+0307, \u0112 then U+0327 against \u0228 then U+0304",
         list(6, {"\u00F4\u0323", "\u1ED9", "\u0227\u0323", "\u1EA1\u0307", "\u0112\u0327", "\u0228\u0304"}),
         {"\u00F4\\u0323", "\u1ED9", "\u0227\\u0323", "\u1EA1\u0307", "\u0112\\u0327", "\u0228\u0304"}},
        {"an object replacement character and a null notehead, which draw as nothing beside a letter",
         list(3, {"a\uFFFC", "a\U0001D159", "a"}),
         {R"(a\uFFFC)", R"(a\U0001D159)"}},
        {"two words of 20,000 bytes that differ in the last: their labels and tooltips show their ends",
         list(2, {std::string(20000, 'x'), std::string(19999, 'x') + "y"})},
    };
    // Every whole report kept in the fuzz corpus; the fuzzer also keeps
    // inputs that are no report, which wrd-dot rightly refuses.
    const std::size_t table_rows = cases.size();
    for (const auto& file : std::filesystem::directory_iterator(source + "/fuzz/corpus/report")) {
        const std::string kept = slurp(file.path().string());
        if (std::holds_alternative<Report>(parse_report(kept))) {
            cases.push_back({file.path().filename().string(), kept});
        }
    }
    EXPECT_LT(table_rows, cases.size()) << "fuzz/corpus/report holds no whole report";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string graph = draw(c.report, "dot", "", c.columns);
        if (graph.rfind("line ", 0) == 0) {
            ADD_FAILURE() << "wrd-dot refuses the report: " << graph;
            continue;
        }
        const std::size_t words = between(c.report, " Slovo: ", "  Dalsi: ").size();
        expect_apart(between(graph, "<b>", "</b>"), words);
        if (!dot.empty()) {
            const Ran svg = run(quoted(dot) + " -Tsvg", graph);
            EXPECT_EQ(0, svg.status);
            EXPECT_EQ("", svg.err);
            EXPECT_NE(std::string::npos, svg.out.find("</svg>"));
            const auto shown = between(svg.out, "font-weight=\"bold\" font-size=\"11.00\">", "</text>");
            expect_apart(shown, words);
            for (const std::string& label : c.shows) {
                EXPECT_NE(shown.end(), std::find(shown.begin(), shown.end(), label)) << label;
            }
            expect_rows(run(quoted(dot) + " -Tplain", graph).out, words, c.columns);
        }
        const std::string svg = draw(c.report, "svg", "", c.columns);
        const auto titles = between(svg, "<title>", "</title>");
        EXPECT_EQ(titles.size(), std::set<std::string>(titles.begin(), titles.end()).size());
        const std::string plain =
            std::regex_replace(svg, std::regex("\u2066|\u2069"), ""); // escapes' isolates
        for (const std::string& label : c.shows) {
            EXPECT_NE(std::string::npos, plain.find("\"word\">" + label + "</text>")) << label;
        }
        if (!rsvg.empty()) {
            const Ran ran = run(quoted(rsvg) + " -f png", svg);
            EXPECT_EQ(0, ran.status);
            EXPECT_EQ("", ran.err);
            EXPECT_EQ("\x89PNG", ran.out.substr(0, 4));
        }
    }
    if (!why.empty()) {
        GTEST_SKIP() << why << "the DOT's labels were checked";
    }
}

// The built wrd-dot, run by the shell as a user runs it.
TEST(WrdDot, ProgramAnswersItsArguments)
{
    const std::string wrd_dot = WRD_DOT_TOOL;
    if (wrd_dot.empty()) {
        GTEST_SKIP() << "SKIPPED: this cross build's wrd-dot does not run where its tests are started";
    }
    const std::string program = built(wrd_dot);
    const std::string sample = " <'" WRD_SAMPLE_REPORT "'";
    // Texts for --text that wrd refuses, in a folder that has no wrd.txt.
    const std::string texts = testing::TempDir() + kRunName + "_texts";
    std::filesystem::create_directories(texts);
    std::filesystem::remove(texts + "/fifo");
    ASSERT_EQ(0, std::system(("mkfifo '" + texts + "/fifo'").c_str())); // NOLINT(cert-env33-c)
    std::ofstream(texts + "/big") << "a";
    std::filesystem::resize_file(texts + "/big", std::uintmax_t{3} << 30); // sparse
    const std::string page = program + " -T html --text '" + texts;
    const std::string cannot_write = "wrd-dot: cannot write standard output\n";
    const struct {
        std::string command; // a shell command line
        int status;
        std::string out; // the start of standard output
        std::string err; // the start of standard error, or all of it when it ends a line
    } cases[] = {
        {program + " --version", 0, "wrd-dot " WRD_VERSION "\n", ""},
        {program + " -c5" + sample, 0, "digraph", ""},
        // A refusal names what is wrong, then gives the usage (the arguments' table has the rest).
        {program + " -c", 2, "", "wrd-dot: option '-c' needs N\nusage:"},
        // A wrong first line ends the run at once, however much input follows.
        {"yes | timeout 10 " + program, 1, "", "wrd-dot: line 1:"},
        {"timeout 10 " + program + " </dev/zero", 1, "", "wrd-dot: line 1:"},
        // Text that cannot be written is a failure too, and says so.
        {program + " --help >/dev/full", 1, "", cannot_write},
        {program + " --version >/dev/full", 1, "", cannot_write},
        {program + " --version >&-", 1, "", cannot_write},
        // A cut report is drawn, with a warning.
        {"head -5" + sample + " | " + program + " -T svg", 0, "<?xml",
         "wrd-dot: warning: the list does not end in NULL; the report may have been cut short\n"},
        // The page refuses it in one line: its text gives another list.
        {"head -5" + sample + " | " + program + " -T html", 1, "",
         "wrd-dot: the list does not end in NULL, so the report may have been cut short: the page needs it "
         "whole\n"},
        // The text is read as wrd reads it, and a refusal names it and says why.
        {"cd '" + texts + "' && " + program + " -T html" + sample, 1, "",
         "wrd-dot: cannot read the text \"wrd.txt\": No such file or directory (--text FILE names "
         "another)\n"},
        {"timeout 10 " + page + "/fifo'" + sample, 1, "",
         "wrd-dot: cannot read the text \"" + texts + "/fifo\": it is not a regular file\n"},
        {page + "'" + sample, 1, "",
         "wrd-dot: cannot read the text \"" + texts + "\": it is not a regular file\n"},
        {page + "/big'" + sample, 1, "",
         "wrd-dot: cannot read the text \"" + texts +
             "/big\": it is longer than 2,147,483,647 bytes, the most that wrd reads\n"},
        {program + " -T html --text 'a\nb'" + sample, 1, "",
         "wrd-dot: cannot read the text \"a\\x0Ab\": No such file or directory\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        const Ran ran = run(c.command);
        EXPECT_EQ(c.status, ran.status);
        EXPECT_EQ(c.out, ran.out.substr(0, c.out.size()));
        EXPECT_EQ(c.err, c.err.empty() || c.err.back() != '\n' ? ran.err.substr(0, c.err.size()) : ran.err);
    }
    std::filesystem::remove_all(texts);
}

// `text` with every address written 0x... in its place.
std::string masked(const std::string& text)
{
    return std::regex_replace(text, std::regex("0x[0-9a-fA-F]+"), "0x?");
}

// The README's picture command, run from the repository's root with this
// build's programs, prints the README's sample before its pipe and draws
// examples/wrd.svg after it, but for the addresses.
TEST(WrdDot, ReadmeSampleAndPictureAreWhatTheProgramsGive)
{
    const std::string wrd = WRD_TOOL;
    const std::string wrd_dot = WRD_DOT_TOOL;
    if (wrd.empty() || wrd_dot.empty()) {
        GTEST_SKIP() << "SKIPPED: this cross build's programs do not run where its tests are started";
    }
    const std::string source = WRD_SOURCE_DIR;
    const std::string readme = slurp(source + "/README.md");
    const std::size_t sample_at = readme.find("```\n", readme.find("`wrd` prints")) + 4;
    const std::string sample = readme.substr(sample_at, readme.find("```", sample_at) - sample_at);
    const std::size_t command_at = readme.find("```sh\n", readme.find("## Picture")) + 6;
    std::string command = readme.substr(command_at, readme.find('\n', command_at) - command_at);
    const struct {
        std::string written; // in the README
        std::string run;     // here
    } replaced[] = {
        {"../build/wrd)", built(wrd) + ")"}, {"build/wrd-dot ", built(wrd_dot) + " "}, {" > wrd.svg", ""}};
    for (const auto& r : replaced) {
        const std::size_t at = command.find(r.written);
        ASSERT_NE(std::string::npos, at) << "the README's picture command has changed: " << command;
        command.replace(at, r.written.size(), r.run);
    }
    const std::string run_wrd = command.substr(0, command.find(" | "));
    const Ran printed = run("cd " + quoted(source) + " && " + run_wrd);
    EXPECT_EQ(0, printed.status);
    EXPECT_EQ(masked(sample), masked(printed.out));
    const Ran drawn = run("cd " + quoted(source) + " && " + command);
    EXPECT_EQ(0, drawn.status);
    EXPECT_EQ("", drawn.err);
    EXPECT_EQ(masked(slurp(source + "/examples/wrd.svg")), masked(drawn.out));
}

// Every word shows in NFC, as ICU's normaliser says, apart from the table that
// draws it, so that no two words draw alike; and a word in NFC of letters and
// marks, none of them default-ignorable, shows as it is. The words are made
// from what ICU says of each code point.
TEST(WrdDot, EveryWordShowsInNfcAsIcuSays)
{
#ifndef WRD_ICU
    if (WRD_CROSSCOMPILING) {
        GTEST_SKIP() << "SKIPPED: ICU is not installed for this cross build's target";
    }
    GTEST_SKIP() << WRD_MISSING_TOOL "ICU was not found when the build was configured (Debian: libicu-dev)";
#else
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    const auto set = [&](const char* pattern) {
        return icu::UnicodeSet(icu::UnicodeString(pattern, ""), status);
    };
    // The four pools: a few ASCII letters; letters in NFC that NFD takes apart;
    // marks, of a combining class above 0; what NFC may compose with the character before it.
    const icu::UnicodeSet pools[] = {set("[acenou]"), set("[[:NFD_QC=N:]-[:NFC_QC=N:]]"), set("[:^ccc=0:]"),
                                     set("[:NFC_QC=M:]")};
    const icu::UnicodeSet& letters = pools[1];
    const icu::UnicodeSet& marks = pools[2];
    const icu::UnicodeSet mark_category = set("[:M:]");
    const icu::UnicodeSet ignorable = set("[:DI:]");
    ASSERT_TRUE(U_SUCCESS(status)) << u_errorName(status);
    std::vector<icu::UnicodeString> pairs; // each letter, then each mark of a lower class than it ends with
    for (int32_t l = 0; l < letters.size(); ++l) {
        for (int32_t m = 0; m < marks.size(); ++m) {
            if (u_getCombiningClass(marks.charAt(m)) <
                u_getIntPropertyValue(letters.charAt(l), UCHAR_TRAIL_CANONICAL_COMBINING_CLASS)) {
                pairs.push_back(icu::UnicodeString(letters.charAt(l)).append(marks.charAt(m)));
            }
        }
    }
    std::vector<icu::UnicodeString> sequences(200000); // of one to six code points from the four pools
    std::mt19937 random(33); // NOLINT(cert-msc32-c,cert-msc51-cpp): the same words every run
    for (icu::UnicodeString& text : sequences) {
        for (auto n = random() % 6 + 1; n > 0; --n) {
            const icu::UnicodeSet& pool = pools[random() % 4];
            text.append(pool.charAt(static_cast<int32_t>(random() % static_cast<unsigned>(pool.size()))));
        }
    }
    for (const auto* words : {&pairs, &sequences}) {
        int wrong = 0;
        for (const icu::UnicodeString& text : *words) {
            std::string word;
            text.toUTF8String(word);
            const std::string shown = shown_word(word);
            const bool plain = !mark_category.contains(text.char32At(0)) && nfc->isNormalized(text, status) &&
                               ignorable.containsNone(text);
            if (!nfc->isNormalized(icu::UnicodeString::fromUTF8(shown), status) || (plain && shown != word)) {
                ADD_FAILURE() << word << " shows as " << shown;
                if (++wrong == 5) {
                    break;
                }
            }
        }
    }
    EXPECT_TRUE(U_SUCCESS(status)) << u_errorName(status);
#endif
}

} // namespace
