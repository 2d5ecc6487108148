// Runs a command line through the shell, as a user runs a program, for the
// tests that run the built programs and the tools outside the project.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#ifndef _WIN32
#include <sys/wait.h>
#endif

/// The bytes of the file at `path`; "" where it cannot be read.
inline std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

/// `text` as one word of the POSIX shell, whatever it holds.
inline std::string quoted(const std::string& text)
{
    std::string word = "'";
    for (const char c : text) {
        word += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return word + "'";
}

/// What a command wrote, and how it ended.
struct Ran {
    int status; // the exit status, or -1 when the shell did not end normally
    std::string out;
    std::string err;
};

/// Runs `command` with the shell, `input` on its standard input, through files
/// whose names start with `base` and which are removed afterwards. A command may
/// redirect a stream of its own, which then is not captured.
inline Ran run_shell(const std::string& command, const std::string& input, const std::string& base)
{
    std::ofstream(base + ".in", std::ios::binary) << input;
    const std::string line = "(" + command + ") <" + quoted(base + ".in") + " >" + quoted(base + ".out") +
                             " 2>" + quoted(base + ".err");
    const int raw = std::system(line.c_str()); // NOLINT(cert-env33-c): the program is the point of the test
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
