// Fuzzes what wrd-dot does with any input: parse_report must never crash nor
// crawl, and what it accepts must draw as valid UTF-8, one visible box per node,
// each label showing exactly its word's bytes with nothing raw that must be
// escaped, and each arrow where the report's addresses point. The same input
// also builds reports as each C library prints them: a whole one must read back
// exactly, and one made wrong in one known way must be refused at that line.
#include "count_words.h"
#include "draw.h"
#include "hidden_ranges.h"
#include "report.h"
#include "report_line.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cinttypes>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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
    for (std::size_t at = 0; at < shown.size();) {
        std::uint32_t code = 0;
        if (shown.compare(at, 2, "\\\\") == 0) {
            word += '\\';
            at += 2;
        } else if (shown.compare(at, 2, "\\x") == 0) {
            check(hex_digits(shown, at + 2, 2, &code), "\\x takes two hex digits");
            word += static_cast<char>(code);
            at += 4;
        } else if (shown.compare(at, 2, "\\u") == 0 || shown.compare(at, 2, "\\U") == 0) {
            check(hex_digits(shown, at + 2, shown[at + 1] == 'u' ? 4 : 8, &code) && is_hidden(code),
                  "\\u and \\U take the hex digits of a hidden character");
            word += encode(code);
            at += shown[at + 1] == 'u' ? 6 : 10;
        } else {
            std::size_t size = 0;
            code = decode(shown, at, &size);
            check(size > 0, "a label is valid UTF-8");
            check(code >= 0x20 && code != 0x7F && code != '\\' && !is_hidden(code),
                  "no raw control byte, lone backslash, nor character that draws as nothing or alike");
            word += shown.substr(at, size);
            at += size;
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

// Draws what parse_report accepted and checks the picture.
void check_picture(const Report& report, int columns)
{
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto parsed = parse_report(std::string(reinterpret_cast<const char*>(data), size));
    if (const auto* report = std::get_if<Report>(&parsed)) {
        check_picture(*report, static_cast<int>(1 + size % 64));
    }
    FuzzedDataProvider input(data, size);
    check_round_trip(input);
    return 0;
}
