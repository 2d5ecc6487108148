// Loading the input file whole into one zero-terminated heap buffer.
#pragma once

#include <cstdint>
#include <cstdio>

/// How loading ended; each value is also the program's exit status.
enum LoadStatus : int {
    kLoaded = 0,
    kCannotOpen = 1, // missing, not a regular file, or the read failed
    kEmpty = 2,
    kNoMemory = 3, // no buffer, or a length that is unknown or over INT32_MAX
};

/// Opens the regular file at `path` once and reads it; its type and length come
/// from the open file. On kLoaded, `*text` is a new buffer holding the file's
/// bytes and a zero byte, which the caller frees with std::free. On a failure,
/// `*error`, if given, says why for a message: the system's error number, 0 for
/// a file that is not a regular file, or EFBIG for one over INT32_MAX bytes.
LoadStatus load_text(const char* path, char** text, int* error = nullptr);

/// The length of the open `file`, asked of the file itself, not of any name;
/// UINTMAX_MAX when it cannot be measured.
std::uintmax_t file_length(std::FILE* file);

/// The reading step of load_text, on a stream already open: `length` bytes are
/// expected, fewer are accepted; a length over INT32_MAX is kNoMemory with errno
/// set to EFBIG. The caller keeps and closes `file`.
LoadStatus read_text(std::FILE* file, std::uintmax_t length, char** text);
