#include "count_words.h"
#include "report.h"
#include "word_list.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <variant>
#include <vector>

#ifdef _WIN32
#include <process.h>
#else
#include <sys/wait.h>
#include <unistd.h>
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
    // Named for this process, since other test runs may share the folder.
#ifdef _WIN32
    const int pid = _getpid();
#else
    const int pid = ::getpid();
#endif
    const std::string base = testing::TempDir() + "wrd_dot_tool." + std::to_string(pid);
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

// The DOT for a report, or "line N: what is wrong".
std::string draw(const std::string& input)
{
    const auto parsed = parse_report(input);
    if (const auto* error = std::get_if<ReportError>(&parsed)) {
        return "line " + std::to_string(error->line) + ": " + error->what;
    }
    return write_dot(std::get<Report>(parsed), 4);
}

// The report that wrd's own code writes for `text`, seeds first, as wrd does.
std::string report_of(const std::string& text)
{
    WordList list = nullptr;
    for (const char* seed : kSeeds) {
        EXPECT_TRUE(add_word(&list, seed));
    }
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    EXPECT_TRUE(count_words(&list, buffer.data()));
    testing::internal::CaptureStdout();
    print_list(&list);
    std::string report = testing::internal::GetCapturedStdout();
    free_list(&list);
    return report;
}

std::string entry(int position, const std::string& address, const std::string& word, const std::string& next)
{
    return std::string(position < 10 ? "  " : " ") + std::to_string(position) + " Adresa: " + address +
           " Cetnost:   1 Slovo: " + word + "  Dalsi: " + next + "\n";
}

// A one-node report holding `word`.
std::string one(const std::string& word)
{
    return "Zacatek seznamu: 0x10\n" + entry(1, "0x10", word, "(nil)");
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
        {"control bytes", one("a\x01\x1b\x7f"), "<b>a\\x01\\x1B\\x7F</b>"},
        {"valid UTF-8 stays", one("\xc4\x8d\xf0\x9f\x90\x8d"), "<b>\xc4\x8d\xf0\x9f\x90\x8d</b>"},
        {"bytes of no valid UTF-8 sequence: stray, cut, overlong, surrogate; no XML character: U+FFFF",
         one("\xff\x80\xc4\xc0\xaf\xed\xa0\x80\xef\xbf\xbf"),
         "<b>\\xFF\\x80\\xC4\\xC0\\xAF\\xED\\xA0\\x80\\xEF\\xBF\\xBF</b>"},
        {"a word too long for dot's label: its start, then its length", one(std::string(16382, 'a')),
         "aaaa\xE2\x80\xA6 (16,382 bytes)</b>"},
        {"empty input", "", "line 1: the input is empty, not a wrd report"},
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

TEST(WrdDot, DotDrawsEveryPictureWithNoMessage)
{
    std::string why;
    const std::string dot = dot_program(&why);
    if (dot.empty()) {
        GTEST_SKIP() << why;
    }
    std::string thousand; // and the two seed words: 1,000 nodes
    for (int i = 1; i <= 998; ++i) {
        thousand += "slovo" + std::to_string(i) + "\n";
    }
    const std::string source = WRD_SOURCE_DIR;
    struct Case {
        std::string what;
        std::string report;
        std::vector<std::string> shown = {}; // texts of the picture, each a whole word
    };
    std::vector<Case> cases = {
        {"a one-node list", one("slovo")},
        {"the empty list", "Seznam je prazdny.\n"},
        {"the sample", report_of(slurp(source + "/examples/wrd.txt"))},
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
    };
    // Every kept report of the fuzz corpus that wrd-dot reads.
    for (const auto& file : std::filesystem::directory_iterator(source + "/fuzz/corpus/report")) {
        cases.push_back({file.path().filename().string(), slurp(file.path().string())});
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string picture = draw(c.report);
        if (picture.rfind("line ", 0) == 0) {
            continue; // wrd-dot refuses it
        }
        const Ran ran = run_tool(dot, "-Tsvg", picture);
        EXPECT_EQ(0, ran.status);
        EXPECT_EQ("", ran.err);
        EXPECT_NE(std::string::npos, ran.out.find("</svg>"));
        for (const std::string& shown : c.shown) {
            EXPECT_NE(std::string::npos, ran.out.find(">" + shown + "</text>")) << shown;
        }
    }
}

TEST(WrdDot, ProgramAnswersItsArguments)
{
    const std::string wrd_dot = WRD_DOT_TOOL;
    if (wrd_dot.empty()) {
        GTEST_SKIP() << "SKIPPED: this cross build's wrd-dot does not run where its tests are started";
    }
    const struct {
        const char* args;
        int status;
        std::string out;
    } cases[] = {
        {"--version", 0, "wrd-dot " WRD_VERSION "\n"},
        {"-c", 2, ""},          // N is missing
        {"--columns 0", 2, ""}, // out of range
        {"-c 65", 2, ""},
        {"-c x", 2, ""}, // not a number
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const Ran ran = run_tool(wrd_dot, c.args, "");
        EXPECT_EQ(c.status, ran.status);
        EXPECT_EQ(c.out, ran.out);
    }
}

} // namespace
