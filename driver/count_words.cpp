#include "count_words.h"

#include <cstring>

bool count_words(WordList* list, char* text)
{
    bool recorded = true;
    for (char* word = std::strtok(text, kSeparators); word != nullptr;
         word = std::strtok(nullptr, kSeparators)) {
        recorded &= add_word(list, word);
    }
    return recorded;
}
