#include "load_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

TEST(ReadText, LoadsWhatArrivesAndRejectsWhatCannotBeRead)
{
    const struct {
        const char* what;
        std::string content;
        const char* mode; // how the stream is opened
        std::uintmax_t length;
        LoadStatus status;
        const char* text;
        // When set: a file of this text is renamed over the path once the stream
        // is open, and the length is file_length's, taken from the open stream.
        const char* replacement = nullptr;
    } cases[] = {
        {"the whole file", "a b", "rb", 3, kLoaded, "a b"},
        {"a file that shrank: only what arrived", "a b", "rb", 10, kLoaded, "a b"},
        {"an empty file", "", "rb", 0, kEmpty, nullptr},
        {"longer than a signed 32-bit length", "a", "rb", std::uintmax_t{INT32_MAX} + 1, kNoMemory, nullptr},
        {"a length that could not be measured", "a", "rb", UINTMAX_MAX, kNoMemory, nullptr},
#ifndef _WIN32 // Windows' C library reads nothing from a write-only stream, and flags no error
        {"a read that fails", "a b", "ab", 3, kCannotOpen, nullptr},
        // Windows refuses to rename over an open file, so the race cannot arise there.
        {"the length is the open file's, not that of what the name holds now", "a b c d", "rb", 0, kLoaded,
         "a b c d", "a"},
#endif
    };
    const std::string path = testing::TempDir() + "read_text_input";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::FILE* out = std::fopen(path.c_str(), "wb");
        ASSERT_NE(nullptr, out);
        (void)std::fputs(c.content.c_str(), out);
        (void)std::fclose(out);

        std::FILE* file = std::fopen(path.c_str(), c.mode);
        ASSERT_NE(nullptr, file);
        std::uintmax_t length = c.length;
        if (c.replacement != nullptr) {
            const std::string other = path + ".new";
            std::FILE* out_new = std::fopen(other.c_str(), "wb");
            ASSERT_NE(nullptr, out_new);
            (void)std::fputs(c.replacement, out_new);
            (void)std::fclose(out_new);
            ASSERT_EQ(0, std::rename(other.c_str(), path.c_str()));
            length = file_length(file);
        }
        char* text = nullptr;
        EXPECT_EQ(c.status, read_text(file, length, &text));
        (void)std::fclose(file);
        if (c.text != nullptr) {
            ASSERT_NE(nullptr, text);
            EXPECT_STREQ(c.text, text);
        } else {
            EXPECT_EQ(nullptr, text);
        }
        std::free(text);
    }
    (void)std::remove(path.c_str());
}

} // namespace
