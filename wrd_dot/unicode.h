// What wrd-dot knows of a code point, from the table that make_unicode_table.py
// generates from one version of the Unicode Character Database.
#pragma once

#include <cstdint>

/// A code point's properties; every code point has them, unassigned ones too.
struct CodePoint {
    int combining_class; // the canonical combining class: 0 for a starter
    int columns;         // monospace columns: 2 for East Asian Wide and Fullwidth, 0 for a nonspacing mark
    bool mark;           // a combining mark (Mn, Mc, Me), drawn with the character before it
    bool may_compose;    // NFC may compose it with the starter before it
    bool hidden;         // shown as an escape wherever it stands
};

/// The properties of `code`; an ASCII character is a starter of one column.
CodePoint code_point(std::uint32_t code);

/// What NFC composes a mark of `combining_class` that follows `starter` with:
/// the starter less the marks at the end of its canonical decomposition of a
/// higher class, which NFC puts after that mark (U+1ED9 for 220 is U+1ECD);
/// for class 0, the starter itself.
std::uint32_t nfc_starter(std::uint32_t starter, int combining_class);

/// True when NFC composes `starter` and `second`, with nothing between them
/// that blocks, into one character: the pairs of the table, and Hangul's.
bool composes(std::uint32_t starter, std::uint32_t second);
