#include "report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace {

// What a program outside the project wrote, and how it ended.
struct Ran {
    int status; // the exit status, or -1 when it did not end normally
    std::string out;
    std::string err;
};

std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs `program` (a path, which must not be empty) with the shell words `args`
// and `input` on its standard input, as the real program it is, not a model of it.
Ran run_tool(const std::string& program, const std::string& args, const std::string& input)
{
    const std::string base = testing::TempDir() + "wrd_dot_tool";
    std::ofstream(base + ".in", std::ios::binary) << input;
    const std::string command =
        "'" + program + "' " + args + " <'" + base + ".in' >'" + base + ".out' 2>'" + base + ".err'";
    const int raw = std::system(command.c_str()); // NOLINT(cert-env33-c): the tool is the point of the test
#ifdef _WIN32
    const int status = raw;
#else
    const int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
    Ran ran{status, slurp(base + ".out"), slurp(base + ".err")};
    for (const char* suffix : {".in", ".out", ".err"}) {
        (void)std::remove((base + suffix).c_str());
    }
    return ran;
}

// The path of Graphviz's dot, or empty (with the reason in `*why`) where the
// tests cannot run it.
std::string dot_program(std::string* why)
{
    std::string dot = WRD_DOT;
    if (dot.empty()) {
        *why = "SKIPPED: Graphviz's dot was not found when the build was configured, or the build is a cross "
               "build";
    }
    return dot;
}

// The DOT for a report in rows of `columns`, read from a file as wrd-dot reads
// standard input, or "line N: what is wrong", and "(stopped early)" when the
// reader left the rest of the input unread.
std::string draw(const std::string& input, int columns = 4)
{
    std::FILE* file = std::tmpfile();
    (void)std::fwrite(input.data(), 1, input.size(), file);
    std::rewind(file);
    const auto parsed = read_report(file);
    std::string out;
    if (const auto* error = std::get_if<ReportError>(&parsed)) {
        out = "line " + std::to_string(error->line) + ": " + error->what;
        out += std::ftell(file) < static_cast<long>(input.size()) ? " (stopped early)" : "";
    } else {
        std::rewind(file);
        EXPECT_TRUE(write_dot(std::get<Report>(parsed), columns, file));
        out.resize(static_cast<std::size_t>(std::ftell(file)));
        std::rewind(file);
        (void)std::fread(out.data(), 1, out.size(), file);
    }
    (void)std::fclose(file);
    return out;
}

std::string entry(int position, const std::string& address, const std::string& word, const std::string& next)
{
    return std::string(position < 10    ? "  "
                       : position < 100 ? " "
                                        : "") +
           std::to_string(position) + " Adresa: " + address + " Cetnost:   1 Slovo: " + word +
           "  Dalsi: " + next + "\n";
}

// A one-node report holding `word`.
std::string one(const std::string& word)
{
    return "Zacatek seznamu: 0x10\n" + entry(1, "0x10", word, "(nil)");
}

// A report of `n` nodes whose words are the `words` given, then w1, w2 ...
std::string list(std::size_t n, std::vector<std::string> words = {})
{
    std::string text = "Zacatek seznamu: 0x10\n";
    for (std::size_t i = 1; i <= n; ++i) {
        words.push_back("w" + std::to_string(i));
        text += entry(static_cast<int>(i), "0x" + std::to_string(i * 10), words[i - 1],
                      i < n ? "0x" + std::to_string(i * 10 + 10) : "(nil)");
    }
    return text;
}

TEST(WrdDot, DrawsWholeReportsAndNamesTheLineOfAnyOther)
{
    const std::string linux_report = "Zacatek seznamu: 0x5d0c3a4e2c0\n" +
                                     entry(1, "0x5d0c3a4e2c0", "b", "0x5d0c3a4e2a0") +
                                     entry(2, "0x5d0c3a4e2a0", "pokus", "(nil)");
    const struct {
        const char* what;
        std::string input;
        std::string expected; // a part of the DOT, or the error
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
         "Zacatek seznamu: 0x30\n" + entry(1, "0x10", "a", "0x30") + entry(2, "0x20", "b", "(nil)") +
             entry(3, "0x30", "c", "0x99"),
         "start -> n3 [constraint=false];\n  n1 -> n3 [constraint=false];\n  n2 -> null [constraint=false];\n"
         "  n3 -> unknown_0x99"},
        {"the empty list", "Seznam je prazdny.\n", "label=\"Seznam je prazdny.\""},
        {"markup bytes become entities; a backslash is two pairs, which dot shows as two",
         one("\"<&>{|}]\\x"), "<b>&quot;&lt;&amp;&gt;{|}&#93;\\\\\\\\x</b>"},
        {"control bytes; dot reads the doubled backslash of an escape as one", one("a\x01\x1b\x7f"),
         "<b>a\\\\x01\\\\x1B\\\\x7F</b>"},
        {"valid UTF-8 stays", one("\xc4\x8d\xf0\x9f\x90\x8d"), "<b>\xc4\x8d\xf0\x9f\x90\x8d</b>"},
        {"bytes of no valid UTF-8 sequence: stray, cut, overlong, surrogate; no XML character: U+FFFF",
         one("\xff\x80\xc4\xc0\xaf\xed\xa0\x80\xef\xbf\xbf"),
         "<b>\\\\xFF\\\\x80\\\\xC4\\\\xC0\\\\xAF\\\\xED\\\\xA0\\\\x80\\\\uFFFF</b>"},
        {"a word too long for dot's label: its start, then its length", one(std::string(16382, 'a')),
         "aaaa\xE2\x80\xA6 (16,382 bytes)</b>"},
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
        {"a position out of order", "Zacatek seznamu: 0x10\n" + entry(2, "0x10", "a", "(nil)"),
         "line 2: position 2 where 1 was expected"},
        {"one address twice, written two ways",
         "Zacatek seznamu: 0x10\n" + entry(1, "0x10", "a", "0x10") + entry(2, "0x010", "b", "(nil)"),
         "line 3: the address 0x010 is also the node's on line 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string out = draw(c.input);
        EXPECT_NE(std::string::npos, out.find(c.expected)) << out;
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

TEST(WrdDot, DotDrawsEveryPictureWithNoMessage)
{
    const struct {
        const char* what;
        std::string report;
        int columns = 4;
        std::vector<std::string> shows = {}; // labels the picture must show
    } cases[] = {
        {"a one-node list", one("slovo")},
        {"the empty list", "Seznam je prazdny.\n"},
        {"rows of 1: a row of one box is no invisible chain", list(3), 1},
        {"rows of 2", list(5), 2},
        {"rows of 64", list(130), 64},
        {"the sample in rows of 1", slurp(WRD_SAMPLE_REPORT), 1},
        // Words that draw alike unless escaped.
        {"a byte-order mark before the first word", list(2, {"\uFEFFTohle", "Tohle"}), 4, {R"(\uFEFFTohle)"}},
        {"a zero-width space, soft hyphen, word joiner, byte-order mark inside",
         list(5, {"ab", "a\u200Bb", "a\u00ADb", "a\u2060b", "a\uFEFFb"}),
         4,
         {R"(a\u200Bb)", R"(a\u00ADb)", R"(a\u2060b)", R"(a\uFEFFb)"}},
        {"a right-to-left override", list(2, {"\u202Eabc", "cba"}), 4, {R"(\u202Eabc)"}},
        {"a composed and a decomposed e acute",
         list(2, {"caf\u00E9", "cafe\u0301"}),
         4,
         {"caf\u00E9", R"(cafe\u0301)"}},
        {"a no-break space", list(2, {"a\u00A0b", "a"}), 4, {R"(a\u00A0b)"}},
    };
    std::string why;
    const std::string dot = dot_program(&why);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string graph = draw(c.report, c.columns);
        const std::size_t words = between(c.report, " Slovo: ", "  Dalsi: ").size();
        expect_apart(between(graph, "<b>", "</b>"), words);
        if (dot.empty()) {
            continue;
        }
        const Ran svg = run_tool(dot, "-Tsvg", graph);
        EXPECT_EQ(0, svg.status);
        EXPECT_EQ("", svg.err);
        EXPECT_NE(std::string::npos, svg.out.find("</svg>"));
        const auto shown = between(svg.out, "font-weight=\"bold\" font-size=\"11.00\">", "</text>");
        expect_apart(shown, words);
        for (const std::string& label : c.shows) {
            EXPECT_NE(shown.end(), std::find(shown.begin(), shown.end(), label)) << label;
        }
        expect_rows(run_tool(dot, "-Tplain", graph).out, words, c.columns);
    }
    if (dot.empty()) {
        GTEST_SKIP() << why << "; the DOT's labels were checked";
    }
}

} // namespace
