#include "load_text.h"

#include <cerrno>
#include <cstddef>
#include <cstdlib>

#ifdef _WIN32
#include <sys/stat.h>
#include <sys/types.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Opens `path` for reading and returns the stream only if the file it opened is
// a regular file; errno is 0 after one of another kind. The name is looked up
// once, by the open; whatever is renamed over it afterwards does not matter. On
// POSIX the open does not block, so that a FIFO is refused instead of waiting
// for a writer; the flag is cleared before the stream reads, so a read is never
// cut short by it.
std::FILE* open_regular(const char* path)
{
#ifdef _WIN32
    std::FILE* file = std::fopen(path, "rb");
    struct _stat64 info {};
    if (file != nullptr && (_fstat64(_fileno(file), &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG)) {
        (void)std::fclose(file);
        errno = 0;
        return nullptr;
    }
    return file;
#else
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    // A failed fstat leaves the mode zero, which is no regular file.
    struct stat info {};
    (void)::fstat(fd, &info);
    std::FILE* file = nullptr;
    errno = 0;
    if (S_ISREG(info.st_mode)) {
        (void)::fcntl(fd, F_SETFL, 0); // O_NONBLOCK is the only status flag set
        file = ::fdopen(fd, "rb");
    }
    if (file == nullptr) {
        const int why = errno;
        (void)::close(fd);
        errno = why;
    }
    return file;
#endif
}

} // namespace

LoadStatus load_text(const char* path, char** text, int* error)
{
    int why = 0;
    LoadStatus status = kCannotOpen;
    errno = 0;
    std::FILE* file = open_regular(path);
    if (file == nullptr) {
        why = errno;
    } else {
        const std::uintmax_t length = file_length(file);
        errno = 0;
        status = read_text(file, length, text);
        why = errno;
        (void)std::fclose(file);
    }
    if (error != nullptr) {
        *error = why;
    }
    return status;
}

// A 64-bit query on every platform, 32-bit Windows included.
std::uintmax_t file_length(std::FILE* file)
{
#ifdef _WIN32
    struct _stat64 info {};
    if (_fstat64(_fileno(file), &info) != 0) {
        return UINTMAX_MAX;
    }
#else
    struct stat info {};
    if (::fstat(::fileno(file), &info) != 0) {
        return UINTMAX_MAX;
    }
#endif
    return static_cast<std::uintmax_t>(info.st_size);
}

// Lengths stop at INT32_MAX: counts are 32-bit, and so is the longest text whose
// words they can count; the cap also keeps length + 1 within a 32-bit size_t.
// A longer length sets errno to EFBIG, so that the refusal is told from a
// buffer that could not be had, where malloc sets it.
// A failed read ends in kCannotOpen, since counting a buffer that the read never
// filled would report a failure as success; a short read, from a file that
// shrank while it was read, is counted up to where it ended.
LoadStatus read_text(std::FILE* file, std::uintmax_t length, char** text)
{
    if (length == 0) {
        return kEmpty;
    }
    if (length > INT32_MAX) {
        errno = EFBIG;
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
