// Fuzzes what wrd-dot does with any input: parse_report must never crash nor
// crawl, and what it accepts must draw as valid UTF-8, one visible box per node,
// each label showing exactly its word's bytes with nothing raw that must be
// escaped, and each arrow where the report's addresses point, in the DOT and in
// the SVG, whose XML is read strictly. The same input also builds reports as
// each C library prints them: a whole one must read back exactly, and one made
// wrong in one known way must be refused at that line. And it builds a text and
// the report its run gives: replay must accept that report, and refuse it with
// one count changed, and the page of the run must be strict HTML that no word
// escapes from.
#include "arrow_geometry.h"
#include "count_words.h"
#include "draw.h"
#include "report.h"
#include "report_line.h"
#include "unicode.h"
#include "word_text.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cctype>
#include <cinttypes>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace {

void check(bool holds, const char* property)
{
    if (!holds) {
        (void)std::fprintf(stderr, "property failed: %s\n", property);
        std::abort();
    }
}

// The code point of the UTF-8 sequence at `at` and its length, or length 0
// where no valid one starts.
std::uint32_t decode(std::string_view text, std::size_t at, std::size_t* length)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    *length = lead < 0x80                    ? 1
              : lead >= 0xC2 && lead <= 0xDF ? 2
              : lead >= 0xE0 && lead <= 0xEF ? 3
              : lead >= 0xF0 && lead <= 0xF4 ? 4
                                             : 0;
    if (*length == 0 || at + *length > text.size()) {
        *length = 0;
        return 0;
    }
    std::uint32_t code = lead & (0x7F >> (*length == 1 ? 0 : *length));
    for (std::size_t i = 1; i < *length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) {
            *length = 0;
            return 0;
        }
        code = code << 6 | (next & 0x3F);
    }
    const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < least[*length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
        *length = 0;
    }
    return code;
}

std::string encode(std::uint32_t code)
{
    std::string out;
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | code >> 18);
        out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
    return out;
}

bool hex_digits(const std::string& text, std::size_t at, std::size_t count, std::uint32_t* value)
{
    if (at + count > text.size() ||
        text.substr(at, count).find_first_not_of("0123456789ABCDEF") != std::string::npos) {
        return false;
    }
    *value = static_cast<std::uint32_t>(std::strtoul(text.substr(at, count).c_str(), nullptr, 16));
    return true;
}

// The bytes that a label shows for, as dot displays its text: an entity is its
// character and a backslash pair one backslash; then a shown backslash pair is
// a backslash of the word, \xHH a byte and \uHHHH or \UHHHHHHHH a character.
// Everything else must stand raw, and may not: a control byte, markup, or a
// character that draws as nothing, as a blank, or changes its neighbours. A cut
// word ends in "… (N bytes)": `length` gets N, and only the start is returned.
std::string word_of_label(const std::string& label, std::size_t* length)
{
    std::string shown;
    for (std::size_t at = 0; at < label.size(); ++at) {
        static const char* const entities[][2] = {
            {"&amp;", "&"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#93;", "]"}};
        const auto* entity =
            label[at] != '&' ? std::end(entities)
                             : std::find_if(std::begin(entities), std::end(entities), [&](const auto& pair) {
                                   return label.compare(at, std::string(pair[0]).size(), pair[0]) == 0;
                               });
        if (entity != std::end(entities)) {
            shown += (*entity)[1];
            at += std::string((*entity)[0]).size() - 1;
            continue;
        }
        check(std::string("&<>\"]").find(label[at]) == std::string::npos, "markup stands as entities");
        check(label[at] != '\\' || label.compare(at, 2, "\\\\") == 0, "a label's backslash is doubled");
        shown += label[at];
        at += label[at] == '\\' ? 1 : 0;
    }
    const std::size_t marker = shown.rfind("\xE2\x80\xA6 (");
    *length = std::string::npos;
    if (marker != std::string::npos && shown.size() > 7 &&
        shown.compare(shown.size() - 7, 7, " bytes)") == 0) {
        std::string digits;
        for (char c : shown.substr(marker + 5)) {
            digits += c >= '0' && c <= '9' ? std::string(1, c) : "";
        }
        *length = std::strtoull(digits.c_str(), nullptr, 10);
        shown.resize(marker);
    }
    std::string word;
    bool after_letter = false;
    int last_class = 0;
    for (std::size_t at = 0; at < shown.size();) {
        std::uint32_t code = 0;
        if (shown.compare(at, 2, "\\\\") == 0) {
            word += '\\';
            at += 2;
            after_letter = true;
            last_class = 0;
        } else if (shown.compare(at, 2, "\\x") == 0) {
            check(hex_digits(shown, at + 2, 2, &code), "\\x takes two hex digits");
            word += static_cast<char>(code);
            at += 4;
            after_letter = false;
        } else if (shown.compare(at, 2, "\\u") == 0 || shown.compare(at, 2, "\\U") == 0) {
            check(hex_digits(shown, at + 2, shown[at + 1] == 'u' ? 4 : 8, &code) && code >= 0x80 &&
                      code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF),
                  "\\u and \\U take the hex digits of a character");
            word += encode(code);
            at += shown[at + 1] == 'u' ? 6 : 10;
            after_letter = false;
        } else {
            std::size_t size = 0;
            code = decode(shown, at, &size);
            check(size > 0, "a label is valid UTF-8");
            const CodePoint point = code_point(code);
            check(code >= 0x20 && code != 0x7F && code != '\\' && !point.hidden,
                  "no raw control byte, lone backslash, nor character that draws as nothing or alike");
            check(!point.mark || after_letter, "a mark shown as it is sits on a letter shown as it is");
            check(point.combining_class == 0 || point.combining_class >= last_class,
                  "marks shown as they are stand in canonical order");
            last_class = point.combining_class;
            word += shown.substr(at, size);
            at += size;
            after_letter = true;
        }
    }
    return word;
}

// The text between `open` and `close` from `*at` on, which moves past it.
std::string next_between(std::string_view text, const char* open, const char* close, std::size_t* at)
{
    const std::size_t begin = text.find(open, *at);
    check(begin != std::string::npos, "the DOT holds what it must");
    const std::size_t start = begin + std::string(open).size();
    *at = text.find(close, start);
    check(*at != std::string::npos, "the DOT closes what it opens");
    return std::string(text.substr(start, *at - start));
}

// The DOT in a buffer kept from run to run: what write_dot writes for any input
// of -max_len bytes fits, and the run makes no allocation for it.
std::string_view dot_of(const Report& report, int columns)
{
    static char buffer[1 << 22];
    std::FILE* out = ::fmemopen(buffer, sizeof buffer, "w");
    check(write_dot(report, columns, out), "write_dot writes");
    const long size = std::ftell(out);
    (void)std::fclose(out);
    return {buffer, static_cast<std::size_t>(size)};
}

// What a writer streamed, in a buffer kept from run to run, as dot_of does.
std::string_view written(const std::function<bool(std::FILE*)>& write)
{
    static char buffer[1 << 22];
    std::FILE* out = ::fmemopen(buffer, sizeof buffer, "w");
    check(write(out), "the writer writes");
    const long size = std::ftell(out);
    (void)std::fclose(out);
    return {buffer, static_cast<std::size_t>(size)};
}

// One piece of markup: a tag, whose name starts with '/' when it ends an
// element, with its attributes (values unescaped); or a text, unescaped.
struct Piece {
    bool tag;
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::string text;
    bool empty; // a tag that closes itself: <path/>
};

// `text` with its entities replaced; each & must start &amp; &lt; &gt; &quot;
// or a numeric reference, or the markup is wrong.
std::string unescaped(std::string_view text)
{
    std::string out;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] != '&') {
            out += text[at];
            continue;
        }
        const std::size_t end = text.find(';', at);
        check(end != std::string::npos && end - at <= 10, "an & starts an entity");
        const std::string_view name = text.substr(at + 1, end - at - 1);
        const bool hex = name.size() > 2 && name[0] == '#' && name[1] == 'x';
        if (name == "amp" || name == "lt" || name == "gt" || name == "quot") {
            out += name == "amp" ? "&" : name == "lt" ? "<" : name == "gt" ? ">" : "\"";
        } else {
            check(name.size() > 1 && name[0] == '#' &&
                      name.substr(hex ? 2 : 1)
                              .find_first_not_of(hex ? "0123456789ABCDEFabcdef" : "0123456789") ==
                          std::string_view::npos,
                  "an entity is one of XML's four or a number");
            out += encode(static_cast<std::uint32_t>(
                std::strtoul(std::string(name.substr(hex ? 2 : 1)).c_str(), nullptr, hex ? 16 : 10)));
        }
        at = end;
    }
    return out;
}

// Reads markup strictly: every < opens a declaration, a comment or a tag of a
// name and double-quoted attributes, every & an entity; elements nest, but for
// HTML's void ones. In HTML, script and style hold their text as it is.
std::vector<Piece> pieces_of(std::string_view markup, bool html)
{
    std::vector<Piece> pieces;
    std::vector<std::string> open;
    const auto name_at = [&](std::size_t* at) {
        const std::size_t end =
            markup.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-:", *at);
        check(end != std::string_view::npos && end > *at, "a tag or attribute has a name");
        std::string name(markup.substr(*at, end - *at));
        *at = end;
        return name;
    };
    std::size_t at = 0;
    for (const char* prolog : {"<!DOCTYPE html>", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"}) {
        at = markup.compare(0, std::strlen(prolog), prolog) == 0 ? std::strlen(prolog) : at;
    }
    while (at < markup.size()) {
        if (markup[at] != '<') {
            const std::size_t end = std::min(markup.find('<', at), markup.size());
            const std::string_view text = markup.substr(at, end - at);
            check(text.find('>') == std::string_view::npos || (!open.empty() && open.back() == "style"),
                  "no stray > in text");
            pieces.push_back({false, "", {}, unescaped(text), false});
            at = end;
            continue;
        }
        if (markup.compare(at, 4, "<!--") == 0) {
            at = markup.find("-->", at);
            check(at != std::string_view::npos, "a comment ends");
            at += 3;
            continue;
        }
        Piece piece{true, "", {}, "", false};
        ++at;
        const bool closing = markup[at] == '/';
        at += closing ? 1 : 0;
        piece.name = (closing ? "/" : "") + name_at(&at);
        bool& empty = piece.empty;
        while (true) {
            check(at < markup.size(), "a tag ends");
            if (markup[at] == ' ' || markup[at] == '\n') {
                ++at;
            } else if (markup[at] == '>' || markup.compare(at, 2, "/>") == 0) {
                empty = markup[at] == '/';
                at += empty ? 2 : 1;
                break;
            } else {
                check(!closing && (markup[at - 1] == ' ' || markup[at - 1] == '\n'),
                      "attributes stand apart, in a start tag");
                std::string name = name_at(&at);
                std::string value;
                if (markup[at] == '=') {
                    check(markup.compare(at, 2, "=\"") == 0, "an attribute's value is double-quoted");
                    const std::size_t end = markup.find('"', at + 2);
                    check(end != std::string_view::npos, "an attribute's value ends");
                    const std::string_view raw = markup.substr(at + 2, end - at - 2);
                    check(raw.find('<') == std::string_view::npos, "no < in an attribute's value");
                    value = unescaped(raw);
                    at = end + 1;
                } else {
                    check(html, "an XML attribute has a value");
                }
                piece.attributes.emplace_back(std::move(name), std::move(value));
            }
        }
        const std::string name = piece.name;
        pieces.push_back(std::move(piece));
        static const std::set<std::string> voids = {"meta", "input", "br", "img", "link", "hr"};
        if (closing) {
            check(!open.empty() && "/" + open.back() == name, "an end tag closes the element open last");
            open.pop_back();
        } else if (!empty && !(html && voids.count(name) != 0)) {
            open.push_back(name);
            if (html && (name == "script" || name == "style")) {
                const std::size_t end = markup.find("</" + name + ">", at);
                check(end != std::string_view::npos, "a script or style ends");
                pieces.push_back({false, "", {}, std::string(markup.substr(at, end - at)), false});
                at = end;
            }
        }
    }
    check(open.empty(), "every element is closed");
    return pieces;
}

// The value of a piece's attribute, or "".
std::string attribute(const Piece& piece, const std::string& name)
{
    for (const auto& pair : piece.attributes) {
        if (pair.first == name) {
            return pair.second;
        }
    }
    return "";
}

// Writes the SVG and reads it strictly: well-formed XML whose every text is
// one that the picture draws, each box where its texts say, and each arrow
// from its box to the box of its address, through no box on its way.
void check_svg(const Report& report, int columns)
{
    const std::string_view svg = written([&](std::FILE* out) { return write_svg(report, columns, out); });
    std::set<std::string> texts = {"Zacatek seznamu", "NULL", "no such node", "Seznam je prazdny.",
                                   report.start};
    for (const ReportNode& node : report.nodes) {
        const std::string shown = shown_word(node.word);
        texts.insert({std::to_string(node.position), node.address, std::to_string(node.count) + "\xC3\x97",
                      shown, fit_columns(shown, BoxText::kWordColumns), node.next});
        // A cut word draws its ellipsis apart from the rest.
        const std::string fitted = fit_columns(shown, BoxText::kWordColumns);
        if (fitted != shown) {
            texts.insert({fitted.substr(0, fitted.size() - 3), "\xE2\x80\xA6"});
        }
    }
    std::map<std::string, Box> box_of; // "start", or an address's value
    std::vector<std::string> paths;
    std::vector<std::string> open;
    std::vector<std::string> in_box; // the texts of the box being read
    Box box{};
    bool links = false;
    for (const Piece& piece : pieces_of(svg, false)) {
        if (!piece.tag) {
            // A word's escapes stand between isolates, which shown_word
            // itself shows as escapes.
            std::string plain = piece.text;
            for (const char* isolate : {"\xE2\x81\xA6", "\xE2\x81\xA9"}) {
                for (std::size_t at = 0; (at = plain.find(isolate, at)) != std::string::npos;) {
                    plain.erase(at, 3);
                }
            }
            const bool blank = plain.find_first_not_of(" \n") == std::string::npos;
            check(blank || (!open.empty() &&
                            (open.back() == "style" ||
                             ((open.back() == "text" || open.back() == "title") && texts.count(plain) != 0))),
                  "every text of the SVG is one it draws, in a text or title");
            if (!blank && !open.empty() && open.back() == "text") {
                in_box.push_back(plain);
            }
            continue;
        }
        const std::string transform = attribute(piece, "transform");
        if (piece.name == "g" && !transform.empty()) {
            box = {};
            check(transform.compare(0, 10, "translate(") == 0, "a box is placed by translate");
            char* y = nullptr;
            box.x = std::strtoll(transform.c_str() + 10, &y, 10);
            box.y = std::strtoll(y, nullptr, 10);
            in_box.clear();
        } else if (piece.name == "rect") {
            box.width = std::strtoll(attribute(piece, "width").c_str(), nullptr, 10);
            box.height = std::strtoll(attribute(piece, "height").c_str(), nullptr, 10);
        } else if (piece.name == "/g" && !in_box.empty()) {
            const std::string key = in_box[0] == "Zacatek seznamu"      ? "start"
                                    : in_box[0] == "Seznam je prazdny." ? "empty"
                                    : in_box[0] == "NULL"               ? "0"
                                    : in_box.size() == 2 ? std::to_string(address_value(in_box[0]))
                                    : in_box.size() > 1  ? std::to_string(address_value(in_box[1]))
                                                         : "";
            check(!key.empty() && box_of.emplace(key, box).second, "each box drawn once, with its texts");
            in_box.clear();
        } else if (piece.name == "g" && attribute(piece, "class") == "links") {
            links = true;
        } else if (piece.name == "path" && links) {
            paths.push_back(attribute(piece, "d"));
        }
        if (piece.name[0] == '/') {
            open.pop_back();
        } else if (!piece.empty) {
            open.push_back(piece.name);
        }
    }
    if (report.nodes.empty()) {
        check(paths.empty(), "the empty list has no arrows");
        return;
    }
    check(paths.size() == report.nodes.size() + 1, "an arrow from the start and from each node");
    std::vector<std::pair<std::size_t, Box>> loops; // each self-link's arrow, and what bounds it
    for (std::size_t link = 1; link < paths.size(); ++link) {
        if (report.nodes[link - 1].target == link - 1) {
            loops.emplace_back(link, bounds(points_of(paths[link])));
        }
    }
    for (std::size_t link = 0; link < paths.size(); ++link) {
        const std::string from =
            link == 0 ? "start" : std::to_string(address_value(report.nodes[link - 1].address));
        const std::string to =
            std::to_string(address_value(link == 0 ? report.start : report.nodes[link - 1].next));
        check(box_of.count(from) != 0 && box_of.count(to) != 0,
              "the boxes at both ends of an arrow are drawn");
        const auto points = points_of(paths[link]);
        check(points.size() >= 2 && on_edge(points.front(), box_of[from]) &&
                  on_edge(points.back(), box_of[to]),
              "an arrow runs from its box to the box of its address");
        if (report.nodes.size() <= 64) { // checking every box against every arrow takes quadratic time
            for (std::size_t i = 1; i < points.size(); ++i) {
                for (const auto& other : box_of) {
                    check(!crosses(points[i - 1], points[i], other.second), "no arrow runs through a box");
                }
                for (const auto& loop : loops) {
                    check(loop.first == link || !crosses(points[i - 1], points[i], loop.second),
                          "no arrow runs through a self-link's loop");
                }
            }
        }
    }
}

// Draws what parse_report accepted and checks the picture.
void check_picture(const Report& report, int columns)
{
    check_svg(report, columns);
    const std::string_view dot = dot_of(report, columns);
    std::size_t size = 0;
    for (std::size_t at = 0; at < dot.size(); at += size) {
        size = 1;
        if (static_cast<unsigned char>(dot[at]) >= 0x80) {
            (void)decode(dot, at, &size);
        }
        check(size > 0, "the DOT text is valid UTF-8");
    }
    // Boxes: each node's label, address and word; none hidden.
    std::size_t at = 0;
    std::map<std::string, std::string> word_of; // label to word: no two words alike
    for (std::size_t i = 0; i < report.nodes.size(); ++i) {
        const ReportNode& node = report.nodes[i];
        const std::string box = "\n  n" + std::to_string(i + 1) + " [label=<<table";
        check(dot.find(box, at) != std::string::npos, "one box per node, in order");
        check(next_between(dot, "</td><td>", "</td>", &at) == node.address, "the box shows the address");
        const std::string label = next_between(dot, "<td><b>", "</b></td>", &at);
        std::size_t length = 0;
        const std::string word = word_of_label(label, &length);
        if (length == std::string::npos) {
            check(word == node.word, "the label shows the word's exact bytes");
        } else {
            check(length == node.word.size() && word.size() < node.word.size() &&
                      node.word.compare(0, word.size(), word) == 0,
                  "a cut label shows the word's start and its length");
        }
        check(word_of.emplace(label, node.word).first->second == node.word, "two words never share a label");
    }
    for (std::size_t line = dot.find("{ rank=same;"); line != std::string::npos;
         line = dot.find("{ rank=same;", line + 1)) {
        const std::string_view row = dot.substr(line, dot.find('\n', line) - line);
        check(row.find("invis") == std::string::npos || row.find(" -> ") != std::string::npos,
              "a row's style is its chain's, never a box's");
    }
    // Arrows: one from the start and one from each box, to what its address names.
    std::map<std::string_view, std::string_view> link_of; // from name to target name
    const std::string link_end = " [constraint=false];\n";
    for (std::size_t end = dot.find(link_end); end != std::string::npos; end = dot.find(link_end, end + 1)) {
        const std::size_t line = dot.rfind('\n', end) + 3;
        const std::size_t arrow = dot.find(" -> ", line);
        check(link_of.emplace(dot.substr(line, arrow - line), dot.substr(arrow + 4, end - arrow - 4)).second,
              "one arrow per link");
    }
    std::map<std::uint64_t, std::size_t> index_of;
    for (std::size_t i = report.nodes.size(); i-- > 0;) {
        index_of[address_value(report.nodes[i].address)] = i;
    }
    const auto expect_link = [&](const std::string& from, const std::string& address) {
        const auto found = link_of.find(from);
        check(found != link_of.end(), "every link has its arrow");
        const std::uint64_t value = address_value(address);
        const auto node = index_of.find(value);
        if (value == 0) {
            check(found->second == "null", "a null link points at the null marker");
        } else if (node != index_of.end()) {
            check(found->second == "n" + std::to_string(node->second + 1),
                  "a link points at the box of its address");
        } else {
            char marker[32];
            (void)std::snprintf(marker, sizeof marker, "unknown_0x%" PRIx64, value);
            check(found->second == marker, "a link to no node points at its own marker");
        }
    };
    if (!report.nodes.empty()) {
        expect_link("start", report.start);
    }
    for (std::size_t i = 0; i < report.nodes.size(); ++i) {
        expect_link("n" + std::to_string(i + 1), report.nodes[i].next);
    }
}

// The ways in which a report is made wrong at one line.
enum Fault { kNone, kAddressTwice, kAddressTooLong, kPositionOutOfOrder, kCountOutOfRange, kFaults };

// A list made of the input, printed as glibc (0x..., "(nil)", LF) or as the
// 32-bit or 64-bit Windows C library (8 or 16 hex digits, CR LF) prints it,
// with leading zeros and hex digits in either case, as a reader may meet them.
// Whole, it must read back exactly; made wrong, it must be refused at that line.
void check_round_trip(FuzzedDataProvider& input)
{
    const int rendering = input.ConsumeIntegralInRange(0, 2);
    const bool upper = input.ConsumeBool();
    const int zeros = input.ConsumeIntegralInRange(0, 3);
    const char* const end = rendering == 0 ? "\n" : "\r\n";
    const auto render = [&](std::uint64_t address) {
        char text[48];
        if (rendering == 0) {
            (void)std::snprintf(text, sizeof text,
                                address == 0 ? "(nil)"
                                : upper      ? "0x%.*s%" PRIX64
                                             : "0x%.*s%" PRIx64,
                                zeros, "000", address);
        } else if (rendering == 1) {
            (void)std::snprintf(text, sizeof text, upper ? "%08" PRIX64 : "%08" PRIx64, address);
        } else {
            (void)std::snprintf(text, sizeof text, upper ? "%016" PRIX64 : "%016" PRIx64, address);
        }
        return std::string(text);
    };
    // Up to 8 nodes, or one time in 32 from 100 to 128, so that a line may
    // start with a digit; then, once the input runs out, words and addresses
    // are made up from the position.
    std::vector<ReportNode> nodes;
    std::set<std::uint64_t> taken;
    const bool long_list = input.ConsumeIntegralInRange(0, 31) == 0;
    for (int n = long_list ? input.ConsumeIntegralInRange(100, 128) : input.ConsumeIntegralInRange(0, 8);
         n > 0; --n) {
        const std::size_t index = nodes.size() + 1;
        std::uint64_t address = input.ConsumeIntegral<std::uint64_t>() ^ index * 0x9E3779B97F4A7C15U;
        // glibc's addresses take 12 digits at most, which leaves room for zeros.
        address = (rendering == 0   ? address & 0xFFFFFFFFFFFF
                   : rendering == 1 ? address & 0xFFFFFFFF
                                    : address) |
                  1;
        std::string word;
        for (char c : input.ConsumeRandomLengthString(64)) {
            if (c != '\0' && std::strchr(kSeparators, c) == nullptr) {
                word += c;
            }
        }
        word = word.empty() && long_list ? "w" + std::to_string(index) : word;
        const long count = input.ConsumeIntegralInRange<long>(1, INT32_MAX);
        if (!word.empty() && taken.insert(address).second) {
            nodes.push_back({static_cast<long>(index), render(address), count, word, "", 0});
        }
    }
    // The fault and its node; an address twice needs a node before it.
    const std::size_t wrong =
        nodes.empty() ? 0 : input.ConsumeIntegralInRange<std::size_t>(0, nodes.size() - 1);
    auto fault = static_cast<Fault>(nodes.empty() ? 0 : input.ConsumeIntegralInRange(0, kFaults - 1));
    fault = fault == kAddressTwice && wrong == 0 ? kNone : fault;
    const std::size_t twin = wrong == 0 ? 0 : input.ConsumeIntegralInRange<std::size_t>(0, wrong - 1);
    std::string text = nodes.empty() ? "Seznam je prazdny." + std::string(end)
                                     : "Zacatek seznamu: " + nodes[0].address + end;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        nodes[i].next = i + 1 < nodes.size() ? nodes[i + 1].address : render(0);
        // One link in four goes elsewhere, as in a crafted report: to any node,
        // itself included, to null, or to an address that no node has (even,
        // where every node's is odd).
        if (input.ConsumeIntegralInRange(0, 3) == 0) {
            const auto to = input.ConsumeIntegralInRange<std::size_t>(0, nodes.size() + 1);
            nodes[i].next = to < nodes.size()    ? nodes[to].address
                            : to == nodes.size() ? render(0)
                                                 : render(2 * (to + i + 1));
        }
        ReportNode line = nodes[i];
        if (i == wrong && fault == kAddressTwice) {
            line.address = nodes[twin].address;
        } else if (i == wrong && fault == kAddressTooLong) {
            line.address = (rendering == 0 ? "0x1" : "1") + std::string(16, '0');
        } else if (i == wrong && fault == kPositionOutOfOrder) {
            line.position += input.ConsumeBool() ? 1 : -1;
        } else if (i == wrong && fault == kCountOutOfRange) {
            line.count = input.ConsumeBool() ? 0 : 2147483648L + input.ConsumeIntegralInRange<long>(0, 1000);
        }
        text += report_line(line.position, line.address, line.count, line.word, line.next, end);
    }
    const auto parsed = parse_report(text);
    if (fault != kNone) {
        const auto* error = std::get_if<ReportError>(&parsed);
        check(error != nullptr, "a report wrong in one known way is refused");
        check(error->line == static_cast<int>(wrong + 2), "the refusal names the wrong line");
        return;
    }
    check(std::holds_alternative<Report>(parsed), "a printed list is a report");
    const Report& report = std::get<Report>(parsed);
    check(report.start == (nodes.empty() ? "" : nodes[0].address), "the start reads back");
    check(report.nodes.size() == nodes.size(), "every node reads back");
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const ReportNode& got = report.nodes[i];
        const ReportNode& sent = nodes[i];
        check(got.position == sent.position && got.address == sent.address && got.count == sent.count &&
                  got.word == sent.word && got.next == sent.next,
              "each node reads back exactly");
    }
    if (!long_list) { // the picture of a long list would slow every run, and adds little
        check_picture(report, 1 + static_cast<int>(text.size() % 64));
    }
}

// The tags of a page, each with its attributes' names, and the text of its
// scripts: what no word may change.
std::string frame_of(const std::vector<Piece>& pieces)
{
    std::string frame;
    bool script = false;
    for (const Piece& piece : pieces) {
        if (piece.tag) {
            frame += "<" + piece.name;
            for (const auto& pair : piece.attributes) {
                frame += " " + pair.first;
            }
            frame += ">";
        } else if (script) {
            frame += piece.text;
        }
        script = piece.tag && piece.name == "script";
    }
    return frame;
}

// Builds a text from the input and the report that wrd prints for it: the
// seed words, then words of the input, each said up to four times, between
// runs of separators. replay must accept the report and refuse it with one
// count changed. The page must declare its charset in its first 1,024 bytes,
// hold one script and no text outside its body, and read strictly as HTML;
// with the words replaced, its tags and script must stay the same.
void check_page(FuzzedDataProvider& input)
{
    std::vector<std::string> words = {"pokus", "druhy"}; // in the order made
    std::vector<long> counts = {3, 1};                   // kSeeds says them so
    std::vector<std::size_t> said;                       // the text's words, as indices
    for (int n = input.ConsumeIntegralInRange(0, 6); n > 0; --n) {
        std::string word;
        for (char c : input.ConsumeRandomLengthString(24)) {
            word += c != '\0' && std::strchr(kSeparators, c) == nullptr ? std::string(1, c) : "";
        }
        const auto found = std::find(words.begin(), words.end(), word);
        if (word.empty() || found != words.end()) {
            continue;
        }
        said.push_back(words.size());
        words.push_back(word);
        counts.push_back(1);
    }
    for (int n = input.ConsumeIntegralInRange(0, 8); n > 0; --n) {
        const auto again = input.ConsumeIntegralInRange<std::size_t>(0, words.size() - 1);
        said.push_back(again);
        ++counts[again];
    }
    // The separators before each word, drawn once, so that the text with its
    // words replaced differs from the text in its words alone.
    const std::string separators = kSeparators;
    std::vector<std::string> gaps;
    for (std::size_t w = 0; w < said.size(); ++w) {
        gaps.emplace_back();
        for (int n = input.ConsumeIntegralInRange(1, 3); n > 0; --n) {
            gaps.back() += separators[input.ConsumeIntegralInRange<std::size_t>(0, separators.size() - 1)];
        }
    }
    const auto text_of = [&](const std::vector<std::string>& as) {
        std::string text;
        for (std::size_t w = 0; w < said.size(); ++w) {
            text += gaps[w] + as[said[w]];
        }
        return text;
    };
    // The report as wrd prints it, read back, so that its links are resolved.
    const auto report_of = [&](const std::vector<std::string>& as) {
        const std::size_t n = words.size();
        std::string lines = "Zacatek seznamu: 0x" + std::to_string(100 + n) + "\n";
        for (std::size_t i = 0; i < n; ++i) {
            lines +=
                report_line(static_cast<long>(i + 1), "0x" + std::to_string(100 + n - i), counts[n - 1 - i],
                            as[n - 1 - i], i + 1 < n ? "0x" + std::to_string(99 + n - i) : "(nil)");
        }
        const auto parsed = parse_report(lines);
        check(std::holds_alternative<Report>(parsed), "the report of a run reads back");
        return std::get<Report>(parsed);
    };
    std::vector<std::string> placeholders = words;
    for (std::size_t i = 2; i < placeholders.size(); ++i) {
        // As long as the word in the box, so that both are cut or neither,
        // and both boxes have a title or neither.
        const std::string shown = shown_word(words[i]);
        const bool cut = fit_columns(shown, BoxText::kWordColumns) != shown;
        placeholders[i] = "w" + std::to_string(i) + (cut ? std::string(BoxText::kWordColumns, 'x') : "");
    }
    Report report = report_of(words);
    const std::string text = text_of(words);
    const auto run = replay(report, text);
    check(std::holds_alternative<Run>(run), "replay accepts the report its text gives");
    const Run& steps = std::get<Run>(run);
    check(steps.calls.size() == 4 + said.size() && steps.word_starts.size() == said.size(),
          "a step per call");
    const std::string page(written([&](std::FILE* out) { return write_html(report, steps, text, out); }));
    const Report other_report = report_of(placeholders);
    const std::string other_text = text_of(placeholders);
    const auto other_run = replay(other_report, other_text);
    check(std::holds_alternative<Run>(other_run), "replay accepts the placeholders' report");
    const std::string other(written(
        [&](std::FILE* out) { return write_html(other_report, std::get<Run>(other_run), other_text, out); }));

    // An empty report gives the page with no run where the page has a text box
    // to run its text in, and is refused, with nothing written, elsewhere.
    const bool text_box = page.find("id=\"try-text\"") != std::string::npos;
    static char no_run[1 << 18];
    std::FILE* empty = ::fmemopen(no_run, sizeof no_run, "w");
    check(write_html(Report{}, Run{}, "", empty) == text_box && (std::ftell(empty) == 0) != text_box,
          "the page of an empty report is the page with no run, or refused");
    (void)std::fclose(empty);

    const std::size_t charset = page.find("<meta charset=\"utf-8\">");
    check(charset != std::string::npos && charset + 22 <= 1024, "the page declares its charset at once");
    const std::vector<Piece> pieces = pieces_of(page, true);
    check(frame_of(pieces) == frame_of(pieces_of(other, true)), "no word changes the page's tags or script");
    check(std::count_if(pieces.begin(), pieces.end(),
                        [](const Piece& piece) { return piece.tag && piece.name == "script"; }) == 1,
          "the page holds one script");
    std::set<std::string> shown;
    for (const ReportNode& node : report.nodes) {
        shown.insert(fit_columns(shown_word(node.word), BoxText::kWordColumns));
    }
    // The text, as the page keeps it for its strip: each separator as a
    // blank or as it is, then the word as the boxes show it.
    std::string source;
    for (std::size_t w = 0; w < said.size(); ++w) {
        for (const char c : gaps[w]) {
            source += c == '\r' || c == '\n' || c == '\t' ? ' ' : c;
        }
        source += shown_word(words[said[w]]);
    }
    bool body = false;
    bool in_source = false;
    bool in_text_box = false;
    bool in_code = false;
    std::string last_tag;
    for (const Piece& piece : pieces) {
        if (piece.tag) {
            body = piece.name == "body" || (body && piece.name != "/body");
            last_tag = piece.name;
            const auto has_id = [&](const char* id) {
                return std::find(piece.attributes.begin(), piece.attributes.end(),
                                 std::pair<std::string, std::string>("id", id)) != piece.attributes.end();
            };
            in_source = has_id("source");
            in_text_box = has_id("try-text");
            in_code = has_id("code") || (in_code && piece.name != "/pre");
            continue;
        }
        if (in_code) {
            continue; // the page's own listing of add_word, braces and all
        }
        if (in_text_box) {
            check(piece.text == text.substr(0, text.find('\0')),
                  "the text box holds the text as wrd reads it");
            continue;
        }
        if (in_source) {
            check(piece.text == source,
                  "the text strip's source is the text, its words shown as the boxes show them");
            continue;
        }
        const bool raw = last_tag == "title" || last_tag == "style" || last_tag == "script";
        check(raw || piece.text.find_first_not_of(" \n") == std::string::npos ||
                  (body &&
                   (shown.count(piece.text) != 0 ||
                    std::any_of(piece.text.begin(), piece.text.end(),
                                [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }))),
              "no stray text: only words, names and numbers, in the body");
    }
    const std::size_t changed = input.ConsumeIntegralInRange<std::size_t>(0, report.nodes.size() - 1);
    report.nodes[changed].count += input.ConsumeBool() ? 1 : -1;
    check(std::holds_alternative<std::string>(replay(report, text)), "replay refuses a count that differs");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto parsed = parse_report(std::string(reinterpret_cast<const char*>(data), size));
    if (const auto* report = std::get_if<Report>(&parsed)) {
        check_picture(*report, static_cast<int>(1 + size % 64));
    }
    FuzzedDataProvider input(data, size);
    check_round_trip(input);
    FuzzedDataProvider page_input(data, size); // the same bytes, read another way
    check_page(page_input);
    return 0;
}
