// The text that a picture shows for a word.
#include "word_text.h"
#include "unicode.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <vector>

namespace {

// What the text shown so far means for the next character: whether a letter
// stands before it, shown as it is, for a mark to sit on, and what NFC would
// compose the next character with.
struct Shown {
    bool letter = false;       // the last piece is a character shown as it is, not an escape
    std::uint32_t starter = 0; // the last character of combining class 0 shown, when `letter`
    bool starter_last = false; // that starter is the last character shown
    int last_class = 0;        // the combining class of the last character shown
};

// True when `code`, shown as it is after `shown`, would make two words look
// alike: where it hides, or is a mark with no letter to sit on, or where NFC of
// the text shown so far with `code` added would differ from that text. Since
// what is shown so far is in NFC, that is a mark out of canonical order after
// the marks shown, or a character that NFC composes with the starter before it
// (a mark of the same class between them blocks that, a starter always does);
// a mark composes with what is left of a composed starter once the marks that
// NFC puts after it are taken off (U+00F4 then U+0323 is U+1ED9).
bool escaped(std::uint32_t code, const CodePoint& point, const Shown& shown)
{
    if (point.hidden || (point.mark && !shown.letter)) {
        return true;
    }
    if (point.combining_class != 0 && point.combining_class < shown.last_class) {
        return true;
    }
    const bool blocked = point.combining_class == 0
                             ? !shown.starter_last
                             : !shown.starter_last && shown.last_class >= point.combining_class;
    return point.may_compose && shown.letter && !blocked &&
           composes(nfc_starter(shown.starter, point.combining_class), code);
}

// How the character or stray byte at `*at` shows, which it passes.
std::string show_one(const std::string& word, std::size_t* at, Shown* shown)
{
    const auto byte = static_cast<unsigned char>(word[*at]);
    std::size_t length = 0;
    const std::uint32_t code = byte >= 0x80 ? decode_utf8(word, *at, &length) : byte;
    char escape[16];
    if (length > 0) {
        const CodePoint point = code_point(code);
        *at += length;
        if (escaped(code, point, *shown)) {
            *shown = Shown{};
            (void)std::snprintf(escape, sizeof escape, code <= 0xFFFF ? "\\u%04X" : "\\U%08X",
                                static_cast<unsigned>(code));
            return escape;
        }
        shown->letter = true;
        shown->starter = point.combining_class == 0 ? code : shown->starter;
        shown->starter_last = point.combining_class == 0;
        shown->last_class = point.combining_class;
        return word.substr(*at - length, length);
    }
    ++*at;
    if (byte < 0x20 || byte >= 0x7F) {
        *shown = Shown{};
        (void)std::snprintf(escape, sizeof escape, "\\x%02X", byte);
        return escape;
    }
    *shown = Shown{true, byte, true, 0};
    return byte == '\\' ? "\\\\" : std::string(1, static_cast<char>(byte));
}

// The same as label markup: dot reads a backslash pair as one backslash, and a
// lone one before N or G as a name; ] alone is refused, but not as an entity.
std::string markup(const std::string& shown)
{
    std::string out;
    for (const char c : xml_escape(shown)) {
        if (c == ']') {
            out += "&#93;";
        } else if (c == '\\') {
            out += "\\\\";
        } else {
            out += c;
        }
    }
    return out;
}

// graphviz reads at most 16,384 bytes of an HTML-like label, and a box's own
// markup takes a few hundred of them; a cut word's marker needs kMarkerRoom,
// and its end kEndRoom.
constexpr std::size_t kMaxWordText = 16000;
constexpr std::size_t kMarkerRoom = 48;
constexpr std::size_t kEndRoom = 4000;

// 16382 as "16,382".
std::string grouped(std::size_t n)
{
    std::string digits = std::to_string(n);
    for (std::size_t at = digits.size(); at > 3;) {
        at -= 3;
        digits.insert(at, ",");
    }
    return digits;
}

// The pieces of the word from byte `from` on, as if the word began there, each
// as markup when `as_markup`, until they pass `room` bytes; `*starts` gets
// where each piece starts, and `*letters` where each that is no mark does.
std::string render_from(const std::string& word, std::size_t from, std::size_t room, bool as_markup,
                        std::vector<std::size_t>* starts, std::vector<std::size_t>* letters)
{
    std::string out;
    Shown context;
    for (std::size_t at = from; at < word.size() && out.size() <= room;) {
        const std::string shown = show_one(word, &at, &context);
        std::size_t length = 0;
        const auto first = static_cast<unsigned char>(shown[0]);
        const CodePoint point = code_point(first < 0x80 ? first : decode_utf8(shown, 0, &length));
        starts->push_back(out.size());
        if (!point.mark && point.combining_class == 0) {
            letters->push_back(out.size());
        }
        out += as_markup ? markup(shown) : shown;
    }
    return out;
}

// The word's text, each piece as markup when `as_markup`; one that would pass
// a label's limit shows its start, "…", its end from a character that no mark
// joins, and its length, so that two long words that differ late show apart.
std::string render(const std::string& word, bool as_markup)
{
    std::vector<std::size_t> starts;
    std::vector<std::size_t> letters;
    std::string out = render_from(word, 0, kMaxWordText, as_markup, &starts, &letters);
    if (out.size() <= kMaxWordText) {
        return out;
    }
    out.resize(
        *std::prev(std::upper_bound(starts.begin(), starts.end(), kMaxWordText - kMarkerRoom - kEndRoom)));
    // The end from a whole character: past the bytes that continue one.
    std::size_t from = word.size() - std::min(word.size(), kEndRoom);
    while (from < word.size() && (static_cast<unsigned char>(word[from]) & 0xC0U) == 0x80) {
        ++from;
    }
    starts.clear();
    letters.clear();
    const std::string end = render_from(word, from, SIZE_MAX, as_markup, &starts, &letters);
    const auto cut =
        std::lower_bound(letters.begin(), letters.end(), end.size() - std::min(end.size(), kEndRoom));
    return out + "\xE2\x80\xA6" + (cut == letters.end() ? "" : end.substr(*cut)) + " (" +
           grouped(word.size()) + " bytes)";
}

bool regional_indicator(std::uint32_t code) { return code >= 0x1F1E6 && code <= 0x1F1FF; }

// The length in bytes of the piece of shown text at `at` that a cut must keep
// whole, and its monospace columns in `*columns`: an escape or a backslash
// pair, a character with the marks that follow it, or a flag, which is two
// regional indicators and draws two columns wide, as a lone one does.
std::size_t cluster(const std::string& text, std::size_t at, int* columns)
{
    if (const std::size_t length = escape_length(text, at)) {
        *columns = static_cast<int>(std::min(length, text.size() - at));
        return static_cast<std::size_t>(*columns);
    }
    const auto character = [&](std::size_t from, std::size_t* length) {
        const auto byte = static_cast<unsigned char>(text[from]);
        const std::uint32_t code = byte < 0x80 ? byte : decode_utf8(text, from, length);
        *length = std::max<std::size_t>(byte < 0x80 ? 1 : *length, 1);
        return code;
    };
    std::size_t length = 0;
    const std::uint32_t first = character(at, &length);
    std::size_t end = at + length;
    *columns = code_point(first).columns;
    if (regional_indicator(first)) {
        *columns = 2;
        if (end < text.size() && regional_indicator(character(end, &length))) {
            end += length;
        }
    }
    while (end < text.size() && text[end] != '\\') {
        const CodePoint next = code_point(character(end, &length));
        if (!next.mark) {
            break;
        }
        *columns += next.columns;
        end += length;
    }
    return end - at;
}

} // namespace

std::uint32_t decode_utf8(const std::string& text, std::size_t at, std::size_t* length)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned lead = byte(at);
    unsigned low = 0x80;
    unsigned high = 0xBF;
    *length = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        *length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        *length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        *length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at + *length > text.size() || byte(at + 1) < low || byte(at + 1) > high) {
        *length = 0;
        return 0;
    }
    std::uint32_t code = lead & (0x7FU >> *length);
    for (std::size_t i = at + 1; i < at + *length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) {
            *length = 0;
            return 0;
        }
        code = code << 6 | (byte(i) & 0x3FU);
    }
    return code;
}

std::string xml_escape(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string shown_word(const std::string& word) { return render(word, false); }

std::string escape_word(const std::string& word) { return render(word, true); }

std::size_t escape_length(const std::string& shown, std::size_t at)
{
    if (shown[at] != '\\' || at + 1 >= shown.size()) {
        return 0;
    }
    const char kind = shown[at + 1];
    return kind == 'x' ? 4 : kind == 'u' ? 6 : kind == 'U' ? 10 : 2;
}

std::string fit_columns(const std::string& text, int columns)
{
    int used = 0;
    std::size_t fits = 0; // the bytes that leave a column for the ellipsis
    for (std::size_t at = 0; at < text.size();) {
        int width = 0;
        at += cluster(text, at, &width);
        used += width;
        if (used > columns) {
            return text.substr(0, fits) + "\xE2\x80\xA6";
        }
        if (used <= columns - 1) {
            fits = at;
        }
    }
    return text;
}
