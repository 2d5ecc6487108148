// The writers of a report's pictures, each streaming to a file: the DOT graph
// for Graphviz, wrd-dot's own SVG, and the page that steps through the run.
#pragma once

#include "replay.h"
#include "report.h"

#include <cstdio>
#include <string>
#include <string_view>

/// A stream that remembers whether every write to it succeeded, so that a
/// writer can stream freely and report once.
struct Sink {
    std::FILE* out;
    bool ok = true;
    void put(const std::string& text)
    {
        ok = std::fwrite(text.data(), 1, text.size(), out) == text.size() && ok;
    }
};

/// Writes the report to `out` as a DOT graph, as it is made: one box per node in
/// rows of `columns` (1 to 64), in list order, an arrow per link as the addresses
/// state it, and start and null markers. Returns false if any write failed.
bool write_dot(const Report& report, int columns, std::FILE* out);

/// The report as an SVG picture laid out by lay_out, streamed to `out`: the
/// start address, a box per node (position, address, count, word, and the
/// whole word as its tooltip), NULL, an arrow per link and a dashed marker per
/// unknown address; an empty report gets the empty list's marker alone.
/// Returns false if any write failed.
bool write_svg(const Report& report, int columns, std::FILE* out);

/// `text`, up to its first zero byte, as the markup of the page's text box: a
/// line feed first, a carriage return as &#13;, & < > as entities, and U+FFFD for
/// each byte of no valid UTF-8, each control but tab, LF and CR, and each noncharacter.
std::string for_text_box(std::string_view text);

/// A self-contained page that steps through `run` (from replay of `text`)
/// line by line over the nodes of `report`, with the text around each word.
/// The run's data (page_data) stands in #run. Its DOM states the step: each
/// drawn box (one with data-slot) has data-address, data-index, data-count,
/// data-first, data-touched and data-cursor; data-compared on
/// the compared boxes drawn (a fold counts the rest); #call's data-action,
/// #code's data-current line and #text's mark. It needs a report of at least one
/// node, as every run gives: an empty one is refused, with nothing written.
/// Returns false if refused or if a write failed.
bool write_html(const Report& report, const Run& run, std::string_view text, std::FILE* out);
