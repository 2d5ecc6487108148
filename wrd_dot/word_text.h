// The text that a picture shows for a word: decoded, escaped where it could
// hide or change how the rest draws, and marked up for each writer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

/// The code point of the valid UTF-8 sequence of two to four bytes at `at`,
/// with its length in `*length`; length 0 where none starts there (an ASCII
/// byte, a stray or cut byte, an overlong form, a surrogate, past U+10FFFF).
std::uint32_t decode_utf8(const std::string& text, std::size_t at, std::size_t* length);

/// The word as a reader sees it, as plain UTF-8: letters as they are, a
/// backslash as two; a control byte or a byte of no valid UTF-8 as \xHH; a
/// character that draws as nothing or as a blank, changes its neighbours, or is
/// private or unassigned, as \uHHHH or \UHHHHHHHH; so no two words show alike.
/// A word whose text would pass graphviz's limit for a label shows its start and
/// "… (N bytes)".
std::string shown_word(const std::string& word);

/// `text` with the four characters that XML markup reserves in text and in
/// double-quoted attributes written as entities: &, <, > and ".
std::string xml_escape(const std::string& text);

/// shown_word as the text of a DOT HTML-like label: the markup's characters as
/// entities and each backslash doubled, since dot reads a pair as one; a long
/// word is cut where the label's own text would pass graphviz's limit.
std::string escape_word(const std::string& word);

/// The length of the escape that starts at `at` of a word as shown_word shows
/// it: 4 for \xHH, 6 for \uHHHH, 10 for \UHHHHHHHH, 2 for a backslash pair; 0
/// where no backslash starts one. An escape cut short by the text's end may be
/// shorter than its length.
std::size_t escape_length(const std::string& shown, std::size_t at);

/// `text`, a word as shown_word shows it, cut to at most `columns` monospace
/// columns, "…" included when cut. East Asian Wide and Fullwidth characters and
/// flags take two columns, nonspacing marks none; a cut keeps whole each escape,
/// each character with its marks, and each flag.
std::string fit_columns(const std::string& text, int columns);
