// Splitting a text into words and counting them in a word list.
#pragma once

#include "word_list.h"

/// Records each word of `text` in `list`, in order: the runs of bytes between
/// the eight separators, up to the first zero byte. Writes a zero byte over the
/// separator behind each word. Returns false if memory ran out for any word;
/// that occurrence is lost, and the words after it are still recorded.
bool count_words(WordList* list, char* text);
