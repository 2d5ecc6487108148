// wrd-dot's command line, read as GNU programs read theirs.
#pragma once

#include <string>
#include <variant>

/// What the command line asks for; fields not given keep these defaults.
struct Options {
    int columns = 4;
    std::string format = "dot";   // dot, svg or html
    std::string text = "wrd.txt"; // the text that the page replays
    bool help = false;
    bool version = false;
};

/// Reads argv[1] to argv[argc - 1]: "-c N", "-cN", "--columns N", "--columns=N",
/// "-T FORMAT" in the same four forms, "--text FILE", "--text=FILE", "-h",
/// "--help", "--version", and "--" before operands (none are taken).
/// Returns the options, or one line saying what is wrong with the first bad one.
std::variant<Options, std::string> parse_arguments(int argc, const char* const* argv);
