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
#include "check.h"
#include "count_words.h"
#include "layout.h"
#include "replay.h"
#include "report.h"
#include "report_line.h"
#include "report_words.h"
#include "text_model.h"
#include "unicode.h"
#include "word_text.h"
#include "writers.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <libxml/HTMLparser.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>
#include <libxml/xmlstring.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

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
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <variant>
#include <vector>

namespace {

// The character of the UTF-8 sequence at `at`, as libxml2 decodes it, and its
// length; length 0 where none starts there (a stray or cut sequence). libxml2
// takes overlong forms and surrogates here: the strict XML reader refuses them.
std::uint32_t decode(std::string_view text, std::size_t at, std::size_t* length)
{
    int size = static_cast<int>(std::min<std::size_t>(text.size() - at, 4));
    const int code = xmlGetUTF8Char(reinterpret_cast<const unsigned char*>(text.data() + at), &size);
    *length = code < 0 ? 0 : static_cast<std::size_t>(size);
    return code < 0 ? 0 : static_cast<std::uint32_t>(code);
}

std::string encode(std::uint32_t code)
{
    xmlChar out[4];
    const int size = xmlCopyCharMultiByte(out, static_cast<int>(code));
    return {reinterpret_cast<const char*>(out), static_cast<std::size_t>(size)};
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

// What a writer streamed, in a buffer kept from run to run: what a writer
// writes for any input of -max_len bytes fits, and the run makes no allocation
// for it. The next call writes over it.
std::string_view written(const std::function<bool(std::FILE*)>& write)
{
    static char buffer[1 << 22];
    std::FILE* out = ::fmemopen(buffer, sizeof buffer, "w");
    check(write(out), "the writer writes");
    const long size = std::ftell(out);
    (void)std::fclose(out);
    return {buffer, static_cast<std::size_t>(size)};
}

using Document = std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)>;

// libxml2 knows the elements of HTML 4 only, and names each later one it meets
// (section, bdi, svg ...) as unknown; that alone is no fault of the page.
bool reading_html = false;

void fail_on_message(void* /*context*/, xmlErrorPtr error)
{
    if (!(reading_html && error->code == XML_HTML_UNKNOWN_TAG)) {
        (void)std::fprintf(stderr, "libxml2, line %d: %s", error->line, error->message);
        check(false, "the markup reads strictly, with no message");
    }
}

// `markup` read by libxml2, as XML or with its HTML reader: no recovery, no
// network, and any error or warning stops the run.
Document read_markup(std::string_view markup, bool html)
{
    reading_html = html;
    xmlSetStructuredErrorFunc(nullptr, fail_on_message);
    const int size = static_cast<int>(markup.size());
    xmlDoc* doc =
        html ? htmlReadMemory(markup.data(), size, nullptr, "UTF-8", HTML_PARSE_NONET | HTML_PARSE_PEDANTIC)
             : xmlReadMemory(markup.data(), size, nullptr, "UTF-8", XML_PARSE_NONET | XML_PARSE_PEDANTIC);
    check(doc != nullptr, "libxml2 reads the markup");
    return {doc, xmlFreeDoc};
}

bool is(const xmlNode* node, const char* name)
{
    return node->type == XML_ELEMENT_NODE && xmlStrcmp(node->name, BAD_CAST name) == 0;
}

// A string that libxml2 made, as a copy, or "" for none; libxml2's is freed.
std::string owned(xmlChar* made)
{
    std::string text = made == nullptr ? "" : reinterpret_cast<const char*>(made);
    xmlFree(made);
    return text;
}

// The value of an element's attribute, or "".
std::string attribute(xmlNode* node, const char* name) { return owned(xmlGetProp(node, BAD_CAST name)); }

// The text of a node, entities replaced.
std::string text_of(const xmlNode* node) { return owned(xmlNodeGetContent(node)); }

// The text of an SVG text, its escapes' isolates left out: shown_word itself
// shows those characters as escapes.
std::string plain_text_of(const xmlNode* node)
{
    static const std::regex isolates("\xE2\x81\xA6|\xE2\x81\xA9");
    return std::regex_replace(text_of(node), isolates, "");
}

bool blank(const std::string& text) { return text.find_first_not_of(" \n") == std::string::npos; }

// The nodes that the XPath `path` selects in `doc`, in document order; the
// prefix s names SVG's namespace.
std::vector<xmlNode*> xpath(const Document& doc, const char* path)
{
    const std::unique_ptr<xmlXPathContext, decltype(&xmlXPathFreeContext)> context(
        xmlXPathNewContext(doc.get()), xmlXPathFreeContext);
    xmlXPathRegisterNs(context.get(), BAD_CAST "s", BAD_CAST "http://www.w3.org/2000/svg");
    const std::unique_ptr<xmlXPathObject, decltype(&xmlXPathFreeObject)> found(
        xmlXPathEvalExpression(BAD_CAST path, context.get()), xmlXPathFreeObject);
    check(found != nullptr, "the XPath selects");
    const xmlNodeSet* nodes = found->nodesetval;
    return nodes == nullptr ? std::vector<xmlNode*>{}
                            : std::vector<xmlNode*>(nodes->nodeTab, nodes->nodeTab + nodes->nodeNr);
}

// The bytes that a label shows for, as dot displays its text: libxml2 reads its
// markup strictly, each entity its character, and a backslash pair is one
// backslash; then a shown backslash pair is a backslash of the word, \xHH a
// byte and \uHHHH or \UHHHHHHHH a character. Everything else must stand raw,
// and may not: a control byte, markup, or a character that draws as nothing, as
// a blank, or changes its neighbours. A cut word ends in "…END (N bytes)":
// `length` gets N, and the start, "…" and the end are returned.
std::string word_of_label(const std::string& label, std::size_t* length)
{
    check(label.find_first_of(">\"]") == std::string::npos, "markup stands as entities");
    const Document markup = read_markup("<b>" + label + "</b>", false);
    const std::string text = text_of(xmlDocGetRootElement(markup.get()));
    std::string shown;
    for (std::size_t at = 0; at < text.size(); ++at) {
        check(text[at] != '\\' || text.compare(at, 2, "\\\\") == 0, "a label's backslash is doubled");
        shown += text[at];
        at += text[at] == '\\' ? 1 : 0;
    }
    std::smatch cut; // a word holds no blank
    *length = std::string::npos;
    if (std::regex_search(shown, cut, std::regex(" \\(([0-9,]+) bytes\\)$"))) {
        *length = std::stoull(std::regex_replace(cut[1].str(), std::regex(","), ""));
        shown.resize(static_cast<std::size_t>(cut.position(0)));
    }
    static const std::regex escape(R"(\\(\\|x[0-9A-F]{2}|u[0-9A-F]{4}|U[0-9A-F]{8}))");
    std::string word;
    bool after_letter = false;
    int last_class = 0;
    for (std::size_t at = 0; at < shown.size();) {
        std::smatch found; // a backslash of the word, or the escape of a byte or character
        if (shown[at] == '\\' &&
            std::regex_search(shown.cbegin() + static_cast<std::ptrdiff_t>(at), shown.cend(), found, escape,
                              std::regex_constants::match_continuous)) {
            const char kind = found.str(1)[0];
            const auto code = static_cast<std::uint32_t>(
                kind == '\\' ? 0 : std::stoul(found.str(1).substr(1), nullptr, 16));
            check(kind == '\\' || kind == 'x' ||
                      (code >= 0x80 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF)),
                  "\\u and \\U take the hex digits of a character");
            word += kind == '\\'  ? "\\"
                    : kind == 'x' ? std::string(1, static_cast<char>(code))
                                  : encode(code);
            at += static_cast<std::size_t>(found.length());
            after_letter = kind == '\\';
            last_class = kind == '\\' ? 0 : last_class;
        } else {
            std::size_t size = 0;
            const std::uint32_t code = decode(shown, at, &size);
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

// The texts that the SVG of `report` may draw: positions, addresses, counts,
// words, whole and cut (a cut word's ellipsis apart), and the markers' own.
std::set<std::string> svg_texts(const Report& report)
{
    std::set<std::string> texts = {kListStart, "NULL", "no such node", kEmptyList, report.start};
    for (const ReportNode& node : report.nodes) {
        const std::string shown = shown_word(node.word);
        const std::string fitted = fit_columns(shown, NodeBox::kWordColumns);
        texts.insert({std::to_string(node.position), node.address, std::to_string(node.count) + "\xC3\x97",
                      shown, fitted, node.next});
        if (fitted != shown) {
            texts.insert({fitted.substr(0, fitted.size() - 3), "\xE2\x80\xA6"});
        }
    }
    return texts;
}

// A box of the SVG, a <g> placed by translate: its rect's size, and the key
// of what it stands for by its texts ("start", "empty", or an address's value).
std::pair<std::string, Box> box_of(xmlNode* g)
{
    const std::string transform = attribute(g, "transform");
    check(transform.compare(0, 10, "translate(") == 0, "a box is placed by translate");
    char* y = nullptr;
    Box box{};
    box.x = std::strtoll(transform.c_str() + 10, &y, 10);
    box.y = std::strtoll(y, nullptr, 10);
    std::vector<std::string> texts;
    for (xmlNode* child = g->children; child != nullptr; child = child->next) {
        if (is(child, "rect")) {
            box.width = std::strtoll(attribute(child, "width").c_str(), nullptr, 10);
            box.height = std::strtoll(attribute(child, "height").c_str(), nullptr, 10);
        } else if (is(child, "text") && !blank(plain_text_of(child))) {
            texts.push_back(plain_text_of(child));
        }
    }
    check(!texts.empty(), "each box has its texts");
    const std::string key = texts[0] == kListStart   ? "start"
                            : texts[0] == kEmptyList ? "empty"
                            : texts[0] == "NULL"     ? "0"
                            : texts.size() == 2      ? std::to_string(address_value(texts[0]))
                            : texts.size() > 1       ? std::to_string(address_value(texts[1]))
                                                     : "";
    return {key, box};
}

// Each arrow of the SVG runs from its box to the box of its address, and
// through no other box nor a self-link's loop.
void check_arrows(const Report& report, std::map<std::string, Box>& boxes,
                  const std::vector<std::string>& paths)
{
    check(paths.size() == report.nodes.size() + 1, "an arrow from the start and from each node");
    std::vector<std::vector<Point>> arrows;
    std::vector<bool> self_link;
    for (std::size_t link = 0; link < paths.size(); ++link) {
        const std::string from =
            link == 0 ? "start" : std::to_string(address_value(report.nodes[link - 1].address));
        const std::string to =
            std::to_string(address_value(link == 0 ? report.start : report.nodes[link - 1].next));
        check(boxes.count(from) != 0 && boxes.count(to) != 0, "the boxes at both ends of an arrow are drawn");
        arrows.push_back(points_of(paths[link]));
        check(arrows[link].size() >= 2 && on_edge(arrows[link].front(), boxes[from]) &&
                  on_edge(arrows[link].back(), boxes[to]),
              "an arrow runs from its box to the box of its address");
        self_link.push_back(link > 0 && report.nodes[link - 1].target == link - 1);
    }
    if (report.nodes.size() <= 64) { // checking every box against every arrow takes quadratic time
        std::vector<Box> drawn;
        drawn.reserve(boxes.size());
        for (const auto& box : boxes) {
            drawn.push_back(box.second);
        }
        const std::string fault = arrow_through_box(arrows, drawn, self_link);
        check(fault.empty(), fault.c_str());
    }
}

// Writes the SVG and reads it strictly: well-formed XML whose every text is
// one that the picture draws, each box where its texts say, and each arrow
// from its box to the box of its address, through no box on its way.
void check_svg(const Report& report, int columns)
{
    const Document svg =
        read_markup(written([&](std::FILE* out) { return write_svg(report, columns, out); }), false);
    const std::set<std::string> texts = svg_texts(report);
    for (xmlNode* node : xpath(svg, "//text()[not(parent::s:style)]")) {
        const std::string text = plain_text_of(node);
        check(blank(text) ||
                  ((is(node->parent, "text") || is(node->parent, "title")) && texts.count(text) != 0),
              "every text of the SVG is one it draws, in a text or title");
    }
    std::map<std::string, Box> boxes;
    for (xmlNode* g : xpath(svg, "//s:g[@transform != '']")) {
        const auto box = box_of(g);
        check(!box.first.empty() && boxes.insert(box).second, "each box drawn once, with its texts");
    }
    std::vector<std::string> paths;
    for (xmlNode* path : xpath(svg, "//s:g[@class = 'links']/s:path")) {
        paths.push_back(attribute(path, "d"));
    }
    if (report.nodes.empty()) {
        check(paths.empty(), "the empty list has no arrows");
        return;
    }
    check_arrows(report, boxes, paths);
}

// The DOT's boxes: each node's, in order, with its address and a label that
// shows its word's exact bytes, no two alike; and no row's style hides a box.
void check_dot_boxes(const Report& report, std::string_view dot)
{
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
            bool split = false; // at one of the ellipses, the word's start, then its end
            for (std::size_t cut = word.find("\xE2\x80\xA6"); !split && cut != std::string::npos;
                 cut = word.find("\xE2\x80\xA6", cut + 1)) {
                const std::size_t end = word.size() - cut - 3;
                split = cut + end < node.word.size() && node.word.compare(0, cut, word, 0, cut) == 0 &&
                        node.word.compare(node.word.size() - end, end, word, cut + 3, end) == 0;
            }
            check(length == node.word.size() && split,
                  "a cut label shows the word's start, its end and its length");
        }
        check(word_of.emplace(label, node.word).first->second == node.word, "two words never share a label");
    }
    for (std::size_t line = dot.find("{ rank=same;"); line != std::string::npos;
         line = dot.find("{ rank=same;", line + 1)) {
        const std::string_view row = dot.substr(line, dot.find('\n', line) - line);
        check(row.find("invis") == std::string::npos || row.find(" -> ") != std::string::npos,
              "a row's style is its chain's, never a box's");
    }
}

// The DOT's arrows: one from the start and one from each box, to what its
// address names: the first box of that address, null, or the address's own marker.
void check_dot_links(const Report& report, std::string_view dot)
{
    std::map<std::string, std::string> link_of; // from name to target name
    const std::regex link("\n  (\\S+) -> (\\S+) \\[constraint=false\\];(?=\n)");
    for (std::cregex_iterator at(dot.data(), dot.data() + dot.size(), link), end; at != end; ++at) {
        check(link_of.emplace((*at)[1], (*at)[2]).second, "one arrow per link");
    }
    std::map<std::uint64_t, std::size_t> index_of;
    for (std::size_t i = report.nodes.size(); i-- > 0;) {
        index_of[address_value(report.nodes[i].address)] = i;
    }
    const auto name_of = [&](const std::string& address) {
        const std::uint64_t value = address_value(address);
        char marker[32];
        (void)std::snprintf(marker, sizeof marker, "unknown_0x%" PRIx64, value);
        return value == 0                   ? "null"
               : index_of.count(value) != 0 ? "n" + std::to_string(index_of[value] + 1)
                                            : std::string(marker);
    };
    std::map<std::string, std::string> expected;
    if (!report.nodes.empty()) {
        expected["start"] = name_of(report.start);
    }
    for (std::size_t i = 0; i < report.nodes.size(); ++i) {
        expected["n" + std::to_string(i + 1)] = name_of(report.nodes[i].next);
    }
    check(link_of == expected, "each link has its arrow, to the box of its address, null or its marker");
}

// Draws what parse_report accepted and checks both pictures.
void check_picture(const Report& report, int columns)
{
    check_svg(report, columns);
    const std::string_view dot = written([&](std::FILE* out) { return write_dot(report, columns, out); });
    check(dot.find('\0') == std::string_view::npos && xmlCheckUTF8(BAD_CAST std::string(dot).c_str()) == 1,
          "the DOT text is valid UTF-8, with no zero byte");
    check_dot_boxes(report, dot);
    check_dot_links(report, dot);
}

// The ways in which a report is made wrong at one line.
enum Fault { kNone, kAddressTwice, kAddressTooLong, kPositionOutOfOrder, kCountOutOfRange, kFaults };

// How a C library prints an address: as glibc (0x..., "(nil)", LF) or as the
// 32-bit or 64-bit Windows C library (8 or 16 hex digits, CR LF), with leading
// zeros and hex digits in either case, as a reader may meet them.
struct Printing {
    int rendering; // 0 glibc, 1 and 2 Windows
    bool upper;
    int zeros;
    const char* end;

    explicit Printing(FuzzedDataProvider& input)
        : rendering(input.ConsumeIntegralInRange(0, 2)), upper(input.ConsumeBool()),
          zeros(input.ConsumeIntegralInRange(0, 3)), end(rendering == 0 ? "\n" : "\r\n")
    {
    }

    std::string operator()(std::uint64_t address) const
    {
        if (rendering == 0 && address == 0) {
            return "(nil)";
        }
        const int digits[] = {0, 8, 16};
        char text[48];
        (void)std::snprintf(text, sizeof text, upper ? "%s%.*s%0*" PRIX64 : "%s%.*s%0*" PRIx64,
                            rendering == 0 ? "0x" : "", rendering == 0 ? zeros : 0, "000", digits[rendering],
                            address);
        return text;
    }
};

// A word of up to `most` bytes made of the input: no separator nor zero byte; or "".
std::string word_of(FuzzedDataProvider& input, std::size_t most)
{
    std::string word = input.ConsumeRandomLengthString(most);
    word.erase(std::remove_if(word.begin(), word.end(),
                              [](char c) { return c == '\0' || std::strchr(kSeparators, c) != nullptr; }),
               word.end());
    return word;
}

// The nodes of a list made of the input, links not yet set: up to 8, or one
// time in 32 (`*long_list`) from 100 to 128, so that a line may start with a
// digit; once the input runs out, words and addresses are made up from the position.
std::vector<ReportNode> nodes_of(FuzzedDataProvider& input, const Printing& render, bool* long_list)
{
    std::vector<ReportNode> nodes;
    std::set<std::uint64_t> taken;
    const int rendering = render.rendering;
    *long_list = input.ConsumeIntegralInRange(0, 31) == 0;
    for (int n = *long_list ? input.ConsumeIntegralInRange(100, 128) : input.ConsumeIntegralInRange(0, 8);
         n > 0; --n) {
        const std::size_t index = nodes.size() + 1;
        std::uint64_t address = input.ConsumeIntegral<std::uint64_t>() ^ index * 0x9E3779B97F4A7C15U;
        // glibc's addresses take 12 digits at most, which leaves room for zeros.
        address = (rendering == 0   ? address & 0xFFFFFFFFFFFF
                   : rendering == 1 ? address & 0xFFFFFFFF
                                    : address) |
                  1;
        std::string word = word_of(input, 64);
        word = word.empty() && *long_list ? "w" + std::to_string(index) : word;
        const long count = input.ConsumeIntegralInRange<long>(1, INT32_MAX);
        if (!word.empty() && taken.insert(address).second) {
            nodes.push_back({static_cast<long>(index), render(address), count, word, "", 0});
        }
    }
    return nodes;
}

// A list made of the input, printed as a C library prints it: whole, it must
// read back exactly; made wrong in one known way, it must be refused at that line.
void check_round_trip(FuzzedDataProvider& input)
{
    const Printing render(input);
    const char* const end = render.end;
    bool long_list = false;
    std::vector<ReportNode> nodes = nodes_of(input, render, &long_list);
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
            line.address = (render.rendering == 0 ? "0x1" : "1") + std::string(16, '0');
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
    const auto fields = [](const ReportNode& n) {
        return std::tie(n.position, n.address, n.count, n.word, n.next);
    };
    check(std::equal(
              report.nodes.begin(), report.nodes.end(), nodes.begin(), nodes.end(),
              [&](const ReportNode& got, const ReportNode& sent) { return fields(got) == fields(sent); }),
          "every node reads back, exactly");
    if (!long_list) { // the picture of a long list would slow every run, and adds little
        check_picture(report, 1 + static_cast<int>(text.size() % 64));
    }
}

// A text made from the input, the same text with its words replaced by others
// (the seeds aside) and the text as the page keeps it for its strip: the words
// of the input, then words said again, seeds included, each after one to
// three separators.
struct Text {
    std::string text, other, source;
    std::size_t words = 0;
};

Text text_of(FuzzedDataProvider& input)
{
    std::vector<std::string> words = {"pokus", "druhy"};
    std::vector<std::size_t> said; // the text's words, as indices
    for (int n = input.ConsumeIntegralInRange(0, 6); n > 0; --n) {
        const std::string word = word_of(input, 24);
        if (!word.empty() && std::find(words.begin(), words.end(), word) == words.end()) {
            said.push_back(words.size());
            words.push_back(word);
        }
    }
    for (int n = input.ConsumeIntegralInRange(0, 8); n > 0; --n) {
        said.push_back(input.ConsumeIntegralInRange<std::size_t>(0, words.size() - 1));
    }
    Text made;
    made.words = said.size();
    for (const std::size_t w : said) {
        std::string gap; // drawn once, so that both texts differ in their words alone
        for (int n = input.ConsumeIntegralInRange(1, 3); n > 0; --n) {
            gap += kSeparators[input.ConsumeIntegralInRange<std::size_t>(0, std::strlen(kSeparators) - 1)];
        }
        // As long as the word in the box, so that both are cut or neither, and
        // both boxes have a title or neither.
        const std::string shown = shown_word(words[w]);
        const bool cut = fit_columns(shown, NodeBox::kWordColumns) != shown;
        made.text += gap + words[w];
        made.other +=
            gap +
            (w < 2 ? words[w] : "w" + std::to_string(w) + std::string(cut ? NodeBox::kWordColumns : 0, 'x'));
        made.source += gap + shown;
    }
    return made;
}

// The report that wrd prints for `text`, read back, so that its links are resolved.
Report report_of(const std::string& text)
{
    const auto parsed = parse_report(model_report(model(text, true)));
    check(std::holds_alternative<Report>(parsed), "the report of a run reads back");
    return std::get<Report>(parsed);
}

// The page of the run of `text`, which must give `report` in one call per seed and per word.
std::string page_of(const Report& report, const std::string& text, std::size_t words)
{
    const auto run = replay(report, text);
    check(std::holds_alternative<Run>(run), "replay accepts the report its text gives");
    const Run& steps = std::get<Run>(run);
    check(steps.calls.size() == std::size(kSeeds) + words && steps.word_starts.size() == words,
          "a step per call");
    return std::string(written([&](std::FILE* out) { return write_html(report, steps, text, out); }));
}

// The page with its one script's text taken out, and that text: libxml2's HTML
// reader, of HTML 4, ends a script at any "</", where HTML ends it at "</script".
std::pair<std::string, std::string> split_script(const std::string& page)
{
    const std::size_t start = page.find("<script>");
    check(start != std::string::npos && page.find("<script", start + 1) == std::string::npos,
          "the page holds one script");
    const std::size_t body = start + std::strlen("<script>");
    const std::size_t end = page.find("</script>", body);
    check(end != std::string::npos, "the script ends");
    return {page.substr(0, body) + page.substr(end), page.substr(body, end - body)};
}

// The elements from `node` on and within, each with its attributes' names, as they nest.
std::string frame_of(xmlNode* node)
{
    std::string frame;
    for (; node != nullptr; node = node->next) {
        if (node->type == XML_ELEMENT_NODE) {
            frame += "<" + std::string(reinterpret_cast<const char*>(node->name));
            for (const xmlAttr* pair = node->properties; pair != nullptr; pair = pair->next) {
                frame += " " + std::string(reinterpret_cast<const char*>(pair->name));
            }
            frame += ">" + frame_of(node->children) + "</>";
        }
    }
    return frame;
}

// No stray text: in the body only words, names and numbers, and nothing but
// blanks outside it; the text strip's source is the text, its words shown as
// the boxes show them, and the text box holds the text. The page's own listing of add_word, braces and all,
// is left as it is.
void check_page_text(const Document& page, const std::set<std::string>& shown, const std::string& source,
                     const std::string& typed)
{
    // The source as a JSON string: quotes, backslashes, controls and `<` escaped.
    std::string json = "\"source\":\"";
    for (const char c : source) {
        char escape[8];
        (void)std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned char>(c));
        json += c == '\n'                                          ? "\\n"
                : c == '"' || c == '\\'                            ? std::string("\\") + c
                : static_cast<unsigned char>(c) < 0x20 || c == '<' ? escape
                                                                   : std::string(1, c);
    }
    const std::vector<xmlNode*> data = xpath(page, "//script[@id = 'run']/text()");
    check(data.size() == 1 && text_of(data[0]).find('<') == std::string::npos &&
              text_of(data[0]).find(json + "\"") != std::string::npos,
          "the run's data holds the text, its words shown as the boxes show them, and no <");
    for (xmlNode* node : xpath(page, "//*[@id = 'try-text']/text()")) {
        // Which bytes become U+FFFD, a table of the unit tests says.
        check(text_of(node) == "\n" + typed || text_of(node).find("\xEF\xBF\xBD") != std::string::npos,
              "the text box holds the text as wrd reads it, or U+FFFD where markup cannot hold it");
    }
    // The texts to check: not the listing's, the source's, the text box's, nor a title's, style's or
    // script's.
    const std::string checked =
        "text()[not(ancestor::*[@id = 'code'] or "
        "parent::*[@id = 'try-text'] or parent::title or parent::style or parent::script)]";
    check(xpath(page, ("//" + checked + "[not(ancestor::body)][translate(., ' \n', '') != '']").c_str())
              .empty(),
          "no stray text: nothing but blanks outside the body");
    for (xmlNode* node : xpath(page, ("//body//" + checked).c_str())) {
        const std::string text = text_of(node);
        check(blank(text) || shown.count(text) != 0 ||
                  std::any_of(text.begin(), text.end(),
                              [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }),
              "no stray text: only words, names and numbers, in the body");
    }
}

// The page must declare its charset in its first 1,024 bytes, hold one script,
// read strictly as HTML, hold no stray text, and with the words replaced
// (`other`), keep its tags and script.
void check_markup(const std::string& page, const std::string& other, const Report& report,
                  const std::string& source, const std::string& typed)
{
    const std::size_t charset = page.find("<meta charset=\"utf-8\">");
    check(charset != std::string::npos && charset + 22 <= 1024, "the page declares its charset at once");
    const auto markup = split_script(page);
    const auto other_markup = split_script(other);
    check(markup.second == other_markup.second, "no word changes the page's script");
    const Document html = read_markup(markup.first, true);
    check(frame_of(xmlDocGetRootElement(html.get())) ==
              frame_of(xmlDocGetRootElement(read_markup(other_markup.first, true).get())),
          "no word changes the page's tags");
    std::set<std::string> shown;
    for (const ReportNode& node : report.nodes) {
        shown.insert(fit_columns(shown_word(node.word), NodeBox::kWordColumns));
    }
    check_page_text(html, shown, source, typed);
}

// Builds a text from the input and the report that wrd prints for it. replay
// must accept the report and refuse it with one count changed, and the page of
// its run must be sound markup that no word changes (check_markup).
void check_page(FuzzedDataProvider& input)
{
    const Text made = text_of(input);
    Report report = report_of(made.text);
    const std::string page = page_of(report, made.text, made.words);
    const std::string other = page_of(report_of(made.other), made.other, made.words);

    // An empty report gives the page with no run where the page has a text box
    // to run its text in, and is refused, with nothing written, elsewhere.
    const bool text_box = page.find("id=\"try-text\"") != std::string::npos;
    bool wrote = false;
    const std::string_view no_run = written([&](std::FILE* out) {
        wrote = write_html(Report{}, Run{}, "", out);
        return true;
    });
    check(wrote == text_box && no_run.empty() != text_box,
          "the page of an empty report is the page with no run, or refused");
    check_markup(page, other, report, made.source, made.text);
    const std::size_t changed = input.ConsumeIntegralInRange<std::size_t>(0, report.nodes.size() - 1);
    report.nodes[changed].count += input.ConsumeBool() ? 1 : -1;
    check(std::holds_alternative<std::string>(replay(report, made.text)),
          "replay refuses a count that differs");
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
