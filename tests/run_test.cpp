// End to end: runs the built program in a fresh temporary directory and checks
// its standard output and exit status. WRD_PROGRAM names another build to run and
// WRD_LAUNCHER a command line to run it through (wine, valgrind ...); a cross
// build runs its own programs through its emulator unless WRD_LAUNCHER is set.
#include "shell.h"
#include "skipped_rows.h"
#include "text_model.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Prepare = std::function<void(const fs::path& dir)>;
// kCapturedNoStdin captures standard output and closes standard input, so that
// the program's first open is handed descriptor 0.
enum class Stdout { kCaptured, kFull, kClosed, kCapturedNoStdin };

const std::string kCannotOpen = "\nSoubor nelze otevrit!\n";

std::string env_or(const char* name, const char* fallback)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : fallback;
}

const std::string kProgram = env_or("WRD_PROGRAM", WRD_PROGRAM);
const std::string kLauncher = env_or("WRD_LAUNCHER", WRD_EMULATOR);

// A WebAssembly module, which starts with "\0asm", runs through Node
// (tests/wasi_run.js), and Node opens /dev/null in place of a closed standard stream.
const bool kWasm = slurp(kProgram).compare(0, 4, std::string("\0asm", 4)) == 0;

// A fresh working directory, removed with everything in it afterwards.
struct Sandbox {
    fs::path dir;
    Sandbox()
    {
        std::string name = (fs::temp_directory_path() / "wrd-XXXXXX").string();
        dir = ::mkdtemp(name.data());
    }
    ~Sandbox() { fs::remove_all(dir); }
};

struct Outcome {
    int status; // the exit status, or 128 plus the signal that ended the program, as the shell gives it
    std::string out;
};

// Runs wrd with `args` in a fresh directory that `setup` fills, through the
// launcher, and ends it after 120 s, so that a program that hangs fails the
// test. `address_space`, when set, limits it in bytes; `fail_alloc`, when set,
// runs the test-only build with WRD_FAIL_ALLOC set to it; `program`, when set,
// runs in wrd's place.
Outcome run_wrd(const Prepare& setup, const std::vector<std::string>& args = {},
                Stdout out = Stdout::kCaptured, std::uintmax_t address_space = 0,
                const std::string& fail_alloc = "", const char* program = nullptr)
{
    Sandbox box;
    setup(box.dir);
    std::string command = "cd " + quoted(box.dir.string()) + " && ";
    command += address_space == 0 ? "" : "ulimit -v " + std::to_string(address_space >> 10) + " && ";
    command += fail_alloc.empty() ? "" : "WRD_FAIL_ALLOC=" + quoted(fail_alloc) + " ";
    command += "timeout 120 " + kLauncher + " " +
               quoted(program != nullptr   ? program
                      : fail_alloc.empty() ? kProgram
                                           : WRD_FAILING_ALLOC_PROGRAM);
    for (const std::string& arg : args) {
        command += " " + quoted(arg);
    }
    const char* const redirect[] = {"", " >/dev/full", " >&-", " <&-"}; // as Stdout names them
    const Ran ran = run_shell(command + redirect[static_cast<int>(out)], "", (box.dir / ".run").string());
    // Windows writes its text-mode line ends; a word never holds a carriage return.
    return {ran.status, std::regex_replace(ran.out, std::regex("\r\n"), "\n")};
}

// The words and counts of a report, which must have the exact form and links of one.
Counts counts_in(const std::string& out)
{
    Counts counts;
    EXPECT_EQ("", read_back(out, &counts)) << out;
    return counts;
}

Prepare file(const std::string& content)
{
    return [content](const fs::path& dir) { std::ofstream(dir / "wrd.txt", std::ios::binary) << content; };
}

Prepare sparse(std::uintmax_t size)
{
    return [size](const fs::path& dir) {
        file("slovo ")(dir);
        fs::resize_file(dir / "wrd.txt", size);
    };
}

const std::string kBom = "\xef\xbb\xbf";
const Counts kSeedCounts = {{"druhy", 1}, {"pokus", 3}};

Counts behind_seeds(Counts counts)
{
    counts.insert(counts.end(), kSeedCounts.begin(), kSeedCounts.end());
    return counts;
}

TEST(Run, CountsTheWordsOfWrdTxt)
{
    // 1000 distinct words, then one of them 1000 times more: both columns widen.
    std::string many;
    Counts many_counts;
    for (int i = 1; i <= 1000; ++i) {
        many += "w" + std::to_string(i) + " ";
        many_counts.insert(many_counts.begin(), {"w" + std::to_string(i), i == 7 ? 1001 : 1});
    }
    for (int i = 0; i < 1000; ++i) {
        many += "w7\n";
    }

    // The code that the page shows takes the separators and the seed words as
    // its arguments, which wrd ignores.
    std::vector<std::string> page_code_args{kSeparators};
    page_code_args.insert(page_code_args.end(), std::begin(kSeeds), std::end(kSeeds));
    const struct {
        const char* what;
        Prepare setup;
        Counts expected;
        std::vector<std::string> args = {};
        Stdout out = Stdout::kCaptured;
        bool page_code = false; // the code that the page shows must build the same list
    } cases[] = {
        {"only separators", file("\n"), kSeedCounts},
        {"a repeated word", file("a b a"), behind_seeds({{"b", 1}, {"a", 2}})},
        {"the seed words stay last; case matters",
         file("pokus Pokus pokus"),
         {{"Pokus", 1}, {"druhy", 1}, {"pokus", 5}}},
        {"all eight separators, in runs and at both ends", file(" \r\n\t,.?!a b\rc\nd\te,f.g?h!i! ,"),
         behind_seeds(
             {{"i", 1}, {"h", 1}, {"g", 1}, {"f", 1}, {"e", 1}, {"d", 1}, {"c", 1}, {"b", 1}, {"a", 1}})},
        {"CR LF separates as LF does", file("a\r\nb\r\na\n"), behind_seeds({{"b", 1}, {"a", 2}})},
        {"other punctuation stays in the word", file("slovo; slovo: (slovo) slovo it's well-known"),
         behind_seeds(
             {{"well-known", 1}, {"it's", 1}, {"slovo", 1}, {"(slovo)", 1}, {"slovo:", 1}, {"slovo;", 1}})},
        {"other white space, and bytes from 0x80 up, stay in the word",
         file("a\vb\fc \xc4\x8d\xff \xc4\x8d\xff"), behind_seeds({{"\xc4\x8d\xff", 2}, {"a\vb\fc", 1}})},
        {"a zero byte ends the text", file(std::string("a b\0c d", 7)), behind_seeds({{"b", 1}, {"a", 1}})},
        {"a byte-order mark joins the first word", file(kBom + "ahoj ahoj"),
         behind_seeds({{"ahoj", 1}, {kBom + "ahoj", 1}})},
        {"arguments change nothing", file("a"), behind_seeds({{"a", 1}}), {"-h", "other.txt"}},
        {"wrd.txt is a link to a regular file",
         [](const fs::path& dir) {
             std::ofstream(dir / "text") << "a";
             fs::create_symlink("text", dir / "wrd.txt");
         },
         behind_seeds({{"a", 1}})},
        {"positions and counts past three digits", file(many), behind_seeds(many_counts)},
        {"standard input closed: wrd.txt opens as descriptor 0",
         file("a"),
         behind_seeds({{"a", 1}}),
         {},
         Stdout::kCapturedNoStdin},
        {"the code that the page shows builds wrd's list",
         file("a b a pokus\r\nc,b?a"),
         {{"c", 1}, {"b", 2}, {"a", 3}, {"druhy", 1}, {"pokus", 4}},
         page_code_args,
         Stdout::kCaptured,
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Outcome run = run_wrd(c.setup, c.args, c.out);
        EXPECT_EQ(0, run.status);
        EXPECT_EQ(c.expected, counts_in(run.out));
        if (c.page_code && std::getenv("WRD_PROGRAM") != nullptr) {
            std::printf("SKIPPED: %s: the page's code is this build's, not WRD_PROGRAM's\n", c.what);
        } else if (c.page_code) {
            const Outcome shown = run_wrd(c.setup, c.args, c.out, 0, "", WRD_PAGE_CODE_PROGRAM);
            EXPECT_EQ(0, shown.status);
            EXPECT_EQ(c.expected, counts_in(shown.out));
        }
    }
}

// Statuses 1 to 4: what cannot be read, no memory for the text, and a report that cannot be written.
TEST(Run, FailuresEndWithTheirStatus)
{
    constexpr std::uintmax_t kGiB = std::uintmax_t{1} << 30;
#if defined(__SANITIZE_ADDRESS__)
    const char* const no_limit = "the sanitizers need more address space than the limit grants";
#else
    const char* const no_limit =
        kLauncher.empty() ? nullptr : "the limit is meant for the program, not a launcher";
#endif
    const struct {
        const char* what;
        Prepare setup;
        int status;
        const char* lacks = nullptr; // why the row cannot run here, if it cannot
        Stdout out = Stdout::kCaptured;
        std::uintmax_t address_space = 0; // a limit, when set
    } cases[] = {
        {"no wrd.txt", [](const fs::path&) {}, 1},
        {"wrd.txt is a directory", [](const fs::path& dir) { fs::create_directory(dir / "wrd.txt"); }, 1},
        {"wrd.txt is a FIFO: no hang", [](const fs::path& dir) { ::mkfifo((dir / "wrd.txt").c_str(), 0600); },
         1},
        {"wrd.txt links to a file that refuses reading, even to root",
         [](const fs::path& dir) { fs::create_symlink("/proc/sys/vm/drop_caches", dir / "wrd.txt"); }, 1,
         fs::exists("/proc/sys/vm/drop_caches") ? nullptr : "this system has no /proc/sys/vm/drop_caches"},
        {"wrd.txt is a dangling link",
         [](const fs::path& dir) { fs::create_symlink("gone", dir / "wrd.txt"); }, 1},
        {"an empty file", file(""), 2},
        {"3 GiB: over a signed 32-bit length", sparse(3 * kGiB), 3},
        {"4 GiB + 6 bytes: not a 6-byte file", sparse(4 * kGiB + 6), 3},
        {"no memory for 1 GiB under a limit of 256 MiB", sparse(kGiB), 3, no_limit, Stdout::kCaptured,
         std::uintmax_t{256} << 20},
        {"standard output is full", file("a b a"), 4, nullptr, Stdout::kFull},
        {"standard output is closed", file("a b a"), 4,
         kWasm ? "Node gives a WebAssembly module /dev/null for a closed standard output" : nullptr,
         Stdout::kClosed},
    };
    WRD_END_IF_ROWS_SKIPPED(run_rows(cases, [](const auto& c) {
        const Outcome run = run_wrd(c.setup, {}, c.out, c.address_space);
        EXPECT_EQ(c.status, run.status);
        EXPECT_EQ(c.status == 1 ? kCannotOpen : "", run.out);
    }));
}

TEST(Run, LostWordsEndWithStatus5)
{
    if (std::getenv("WRD_PROGRAM") != nullptr || std::getenv("WRD_LAUNCHER") != nullptr) {
        GTEST_SKIP()
            << "SKIPPED: the build that fails allocations on demand is this build's, not WRD_PROGRAM's, "
               "and WRD_LAUNCHER may put its own allocator in place of the program's, as valgrind does";
    }
    // 5 distinct words and the 2 seeds: 14 allocations, a node and a copy each.
    const std::string text = "a b a c Pokus b d";
    const Counts whole = model(text, true);
    const struct {
        const char* what;
        const char* suffix; // appended to n in WRD_FAIL_ALLOC
        int lost_runs;
    } cases[] = {
        {"only the nth allocation fails", "", 14},
        {"every allocation from the nth on fails", "+", 14},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        int lost_runs = 0;
        for (int n = 1; n < 100; ++n) {
            SCOPED_TRACE(n);
            const Outcome run = run_wrd(file(text), {}, Stdout::kCaptured, 0, std::to_string(n) + c.suffix);
            if (run.status == 0) {
                EXPECT_EQ(whole, counts_in(run.out)); // no failure was injected: the end
                break;
            }
            ASSERT_EQ(5, run.status);
            ++lost_runs;
            const std::map<std::string, long> most(whole.begin(), whole.end());
            for (const auto& entry : counts_in(run.out)) {
                ASSERT_EQ(1U, most.count(entry.first)) << entry.first;
                EXPECT_LE(entry.second, most.at(entry.first)) << entry.first;
            }
        }
        EXPECT_EQ(c.lost_runs, lost_runs);
    }
}

} // namespace
