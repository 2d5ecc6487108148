// Fuzzes what wrd-dot does with any input: parse_report must never crash nor
// crawl, and what it accepts must draw as valid UTF-8, one box per node, each
// word's label showing exactly the word's bytes. The same input also builds a
// list that is printed as each C library prints a report, and that must read
// back exactly.
#include "count_words.h"
#include "report.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cinttypes>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
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

bool valid_utf8(const std::string& text)
{
    for (std::size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = lead < 0x80                    ? 1
                                   : lead >= 0xC2 && lead <= 0xDF ? 2
                                   : lead >= 0xE0 && lead <= 0xEF ? 3
                                   : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                                  : 0;
        if (length == 0 || at + length > text.size()) {
            return false;
        }
        std::uint32_t code = lead & (0x7F >> length);
        for (std::size_t i = 1; i < length; ++i) {
            const auto next = static_cast<unsigned char>(text[at + i]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            code = code << 6 | (next & 0x3F);
        }
        const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < least[length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
            return false;
        }
        at += length;
    }
    return true;
}

// The bytes that a label shows for, as dot displays the label's text: a
// backslash pair is one backslash, an entity its character; then a shown
// backslash pair is one backslash of the word and \xHH one byte. A cut word
// ends in "… (N bytes)": `length` gets N, and only the start is returned.
std::string shown_word(const std::string& label, std::size_t* length)
{
    std::string shown;
    for (std::size_t at = 0; at < label.size(); ++at) {
        if (label.compare(at, 2, "\\\\") == 0) {
            shown += '\\';
            ++at;
            continue;
        }
        static const char* const entities[][2] = {
            {"&amp;", "&"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#93;", "]"}};
        bool entity = false;
        for (const auto& pair : entities) {
            const std::string name = pair[0];
            if (label.compare(at, name.size(), name) == 0) {
                shown += pair[1];
                at += name.size() - 1;
                entity = true;
                break;
            }
        }
        check(entity || label[at] != '&', "every & in a label starts an entity");
        if (!entity) {
            shown += label[at];
        }
    }
    const std::size_t marker = shown.rfind("\xE2\x80\xA6 (");
    *length = std::string::npos;
    if (marker != std::string::npos) {
        std::string digits;
        for (char c : shown.substr(marker + 5)) {
            if (c >= '0' && c <= '9') {
                digits += c;
            }
        }
        *length = std::strtoull(digits.c_str(), nullptr, 10);
        shown.resize(marker);
    }
    std::string word;
    for (std::size_t at = 0; at < shown.size(); ++at) {
        if (shown.compare(at, 2, "\\\\") == 0) {
            word += '\\';
            ++at;
        } else if (shown.compare(at, 2, "\\x") == 0 && at + 4 <= shown.size()) {
            word += static_cast<char>(std::strtoul(shown.substr(at + 2, 2).c_str(), nullptr, 16));
            at += 3;
        } else {
            check(shown[at] != '\\', "a shown backslash is doubled or starts \\xHH");
            word += shown[at];
        }
    }
    return word;
}

// Draws what parse_report accepted and checks the picture.
void check_picture(const Report& report, int columns)
{
    const std::string dot = write_dot(report, columns);
    check(valid_utf8(dot), "the DOT text is valid UTF-8");
    std::size_t boxes = 0;
    for (std::size_t at = 0; (at = dot.find("[label=<<table", at)) != std::string::npos; ++at) {
        ++boxes;
    }
    check(boxes == report.nodes.size(), "one box per node");
    std::size_t at = 0;
    for (const ReportNode& node : report.nodes) {
        const std::size_t begin = dot.find("<td><b>", at) + 7;
        at = dot.find("</b></td>", begin);
        std::size_t length = 0;
        const std::string word = shown_word(dot.substr(begin, at - begin), &length);
        if (length == std::string::npos) {
            check(word == node.word, "the label shows the word's exact bytes");
        } else {
            check(length == node.word.size() && word.size() < node.word.size() &&
                      node.word.compare(0, word.size(), word) == 0,
                  "a cut label shows the word's start and its length");
        }
    }
}

// A list made of the input, printed as glibc (0x..., "(nil)", LF) or as the
// 32-bit or 64-bit Windows C library (8 or 16 hex digits, CR LF) prints it,
// must read back exactly.
void check_round_trip(FuzzedDataProvider& input)
{
    const int rendering = input.ConsumeIntegralInRange(0, 2);
    const char* const end = rendering == 0 ? "\n" : "\r\n";
    const auto render = [&](std::uint64_t address) {
        char text[32];
        if (rendering == 0) {
            (void)std::snprintf(text, sizeof text, address == 0 ? "(nil)" : "0x%" PRIx64, address);
        } else if (rendering == 1) {
            (void)std::snprintf(text, sizeof text, "%08" PRIX64, address);
        } else {
            (void)std::snprintf(text, sizeof text, "%016" PRIx64, address);
        }
        return std::string(text);
    };
    std::vector<ReportNode> nodes;
    std::set<std::uint64_t> taken;
    for (int n = input.ConsumeIntegralInRange(0, 8); n > 0; --n) {
        std::uint64_t address = input.ConsumeIntegral<std::uint64_t>();
        address = (rendering == 1 ? address & 0xFFFFFFFF : address) | 1;
        std::string word;
        for (char c : input.ConsumeRandomLengthString(64)) {
            if (c != '\0' && std::strchr(kSeparators, c) == nullptr) {
                word += c;
            }
        }
        const long count = input.ConsumeIntegralInRange<long>(1, INT32_MAX);
        if (!word.empty() && taken.insert(address).second) {
            nodes.push_back({static_cast<long>(nodes.size() + 1), render(address), count, word, ""});
        }
    }
    std::string text = nodes.empty() ? "Seznam je prazdny." + std::string(end)
                                     : "Zacatek seznamu: " + nodes[0].address + end;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        nodes[i].next = i + 1 < nodes.size() ? nodes[i + 1].address : render(0);
        std::vector<char> line(nodes[i].word.size() + 128);
        (void)std::snprintf(line.data(), line.size(), "%3ld Adresa: %s Cetnost: %3ld Slovo: %s  Dalsi: %s%s",
                            nodes[i].position, nodes[i].address.c_str(), nodes[i].count,
                            nodes[i].word.c_str(), nodes[i].next.c_str(), end);
        text += line.data();
    }
    const auto parsed = parse_report(text);
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
