#include "load_text.h"
#include "skipped_rows.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

TEST(ReadText, LoadsWhatArrivesAndRejectsWhatCannotBeRead)
{
    const struct {
        const char* what;
        std::string content;
        const char* mode; // how the stream is opened
        std::uintmax_t length;
        LoadStatus status; // on kLoaded, the text is the content
        // When set, done once the stream is open; it returns file_length's answer.
        std::uintmax_t (*then)(std::FILE* file, const std::string& path) = nullptr;
        const char* lacks = nullptr; // why the row cannot run here
    } cases[] = {
        {"the whole file", "a b", "rb", 3, kLoaded},
        {"a file that shrank: only what arrived", "a b", "rb", 10, kLoaded},
        {"an empty file", "", "rb", 0, kEmpty},
        // A buffer of 2 GiB that the read leaves untouched but for its start.
        {"the longest length taken: INT32_MAX", "a b", "rb", INT32_MAX, kLoaded},
        {"one byte longer: refused as too long", "a", "rb", std::uintmax_t{INT32_MAX} + 1, kNoMemory},
        {"a length that could not be measured", "a", "rb", UINTMAX_MAX, kNoMemory},
#ifndef _WIN32 // Windows' C library reads nothing from a write-only stream, and flags no error
        {"a read that fails", "a b", "ab", 3, kCannotOpen},
        // Windows refuses to rename over an open file, so the race cannot arise there.
        {"the length is the open file's, not that of what the name holds now", "a b c d", "rb", 0, kLoaded,
         [](std::FILE* file, const std::string& path) {
             EXPECT_TRUE(std::ofstream(path + ".new", std::ios::binary) << "a");
             EXPECT_EQ(0, std::rename((path + ".new").c_str(), path.c_str()));
             return file_length(file);
         }},
    // The descriptor is closed behind stdio, then given back before fclose.
#ifdef __wasi__
        {"a stream whose file cannot be asked for its length", "a", "rb", 0, kNoMemory, nullptr,
         "WASI has no dup, to give a closed descriptor back"},
#else
        {"a stream whose file cannot be asked for its length", "a", "rb", 0, kNoMemory,
         [](std::FILE* file, const std::string&) {
             const int fd = ::fileno(file);
             const int saved = ::dup(fd);
             (void)::close(fd);
             const std::uintmax_t length = file_length(file);
             (void)::dup2(saved, fd);
             (void)::close(saved);
             return length;
         }},
#endif
#endif
    };
    const std::string path = testing::TempDir() + "read_text_input";
    const std::string skipped = run_rows(cases, [&](const auto& c) {
        ASSERT_TRUE(std::ofstream(path, std::ios::binary) << c.content);
        std::FILE* file = std::fopen(path.c_str(), c.mode);
        ASSERT_NE(nullptr, file);
        std::uintmax_t length = c.length;
        if (c.then != nullptr) {
            length = c.then(file, path);
        }
        char* text = nullptr;
        errno = 0;
        const LoadStatus status = read_text(file, length, &text);
        const int why = errno;
        (void)std::fclose(file);
        if (length == INT32_MAX && status == kNoMemory) {
            EXPECT_NE(EFBIG, why) << "where 2 GiB cannot be had, for want of memory, not as too long";
        } else {
            EXPECT_EQ(c.status, status);
            EXPECT_TRUE(status != kNoMemory || why == EFBIG) << why; // a length over INT32_MAX
        }
        EXPECT_STREQ(status == kLoaded ? c.content.c_str() : nullptr, text);
        std::free(text);
    });
    (void)std::remove(path.c_str());
    WRD_END_IF_ROWS_SKIPPED(skipped);
}

} // namespace
