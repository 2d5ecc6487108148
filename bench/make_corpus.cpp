// Writes a benchmark text of the given size to standard output.
// usage: make_corpus BYTES [SEED]
#include "corpus.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc < 2) {
        (void)std::fputs("usage: make_corpus BYTES [SEED]\n", stderr);
        return 2;
    }
    const std::string text =
        make_corpus(std::strtoull(argv[1], nullptr, 10), argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1);
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() ? 0 : 1;
}
