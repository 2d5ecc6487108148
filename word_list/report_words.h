// The literal words of wrd's report, which print_list writes and wrd-dot reads
// back and draws: the one contract between the two programs.
#pragma once

/// The whole report of an empty list, before its line end.
inline constexpr char kEmptyList[] = "Seznam je prazdny.";

/// The start line's label: the line is the label, ": " and the first node's address.
inline constexpr char kListStart[] = "Zacatek seznamu";

/// The labels of a node's line, blanks included, in the order of its fields:
/// "%3d Adresa: %p Cetnost: %3d Slovo: %s  Dalsi: %p".
inline constexpr char kAddressLabel[] = " Adresa: ";
inline constexpr char kCountLabel[] = " Cetnost: ";
inline constexpr char kWordLabel[] = " Slovo: ";
inline constexpr char kNextLabel[] = "  Dalsi: ";
