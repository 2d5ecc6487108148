// Splitting a text into words and counting them in a word list.
#pragma once

#include "word_list.h"

/// The eight bytes that separate words; every other byte, from 0x01 up, is a
/// word byte, and a zero byte ends the text.
inline constexpr char kSeparators[] = " \r\n\t,.?!";

/// The occurrences recorded before the text's words, in this order, so that
/// every run's list ends with "druhy" and then "pokus".
inline constexpr const char* kSeeds[] = {"pokus", "druhy", "pokus", "pokus"};

/// Records each word of `text` in `list`, in order: the runs of bytes between
/// the eight separators, up to the first zero byte. Writes a zero byte over the
/// separator behind each word. Returns false if memory ran out for any word;
/// that occurrence is lost, and the words after it are still recorded.
bool count_words(WordList* list, char* text);
