#include "load_text.h"

#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <system_error>

// Anything but a regular file counts as unopenable: a directory would fail only
// at the read, and a FIFO would block fopen until a writer came. file_size is a
// 64-bit query on every platform, 32-bit Windows included, and yields
// uintmax_t(-1) when the size cannot be had, which read_text rejects.
LoadStatus load_text(const char* path, char** text)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return kCannotOpen;
    }
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return kCannotOpen;
    }
    const LoadStatus status = read_text(file, std::filesystem::file_size(path, error), text);
    (void)std::fclose(file);
    return status;
}

// Lengths stop at INT32_MAX: counts are 32-bit, and so is the longest text whose
// words they can count; the cap also keeps length + 1 within a 32-bit size_t.
// A failed read ends in kCannotOpen, since counting a buffer that the read never
// filled would report a failure as success; a short read, from a file that
// shrank while it was read, is counted up to where it ended.
LoadStatus read_text(std::FILE* file, std::uintmax_t length, char** text)
{
    if (length == 0) {
        return kEmpty;
    }
    if (length > INT32_MAX) {
        return kNoMemory;
    }
    const auto size = static_cast<std::size_t>(length);
    auto* buffer = static_cast<char*>(std::malloc(size + 1));
    if (buffer == nullptr) {
        return kNoMemory;
    }
    const std::size_t got = std::fread(buffer, 1, size, file);
    if (std::ferror(file) != 0) {
        std::free(buffer);
        return kCannotOpen;
    }
    buffer[got] = '\0';
    *text = buffer;
    return kLoaded;
}
