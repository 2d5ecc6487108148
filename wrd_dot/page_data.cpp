#include "page_data.h"
#include "count_words.h"
#include "layout.h"
#include "word_text.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace {

// `text`, valid UTF-8, as a JSON string: quotes, backslashes and control
// bytes escaped, and `<` too, so that no "</script" or "<!--" ends or bends
// the element that holds it. Characters that HTML counts as errors where they
// stand raw (controls, noncharacters such as U+FFFE) are escaped too, in
// UTF-16 as JSON writes them, so that the page stays valid whatever a word holds.
void put_string(std::string* out, std::string_view text)
{
    const auto escaped = [out](std::uint32_t unit) {
        char escape[16];
        (void)std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(unit));
        *out += escape;
    };
    const std::string bytes(text);
    *out += '"';
    for (std::size_t at = 0, length = 1; at < bytes.size(); at += length) {
        const char c = bytes[at];
        length = 1;
        const auto byte = static_cast<unsigned char>(c);
        const std::uint32_t code = byte < 0x80 ? byte : decode_utf8(bytes, at, &length);
        length = std::max<std::size_t>(length, 1);
        if (c == '"' || c == '\\') {
            *out += '\\';
            *out += c;
        } else if (c == '\n') {
            *out += "\\n";
        } else if (code < 0x20 || c == '<' || (code >= 0x7F && code < 0xA0) ||
                   (code >= 0xFDD0 && code <= 0xFDEF) || (code & 0xFFFEU) == 0xFFFEU) {
            if (code > 0xFFFF) {
                escaped(0xD800 + ((code - 0x10000) >> 10));
                escaped(0xDC00 + ((code - 0x10000) & 0x3FF));
            } else {
                escaped(code);
            }
        } else {
            out->append(bytes, at, length);
        }
    }
    *out += '"';
}

// `,"name":[a,b,...]` of the numbers that `value` gives for 0 ... count - 1.
template <typename Value> void put_numbers(std::string* out, const char* name, std::size_t count, Value value)
{
    *out += std::string(",\"") + name + "\":[";
    char number[24];
    for (std::size_t k = 0; k < count; ++k) {
        char* const end = std::to_chars(number, number + sizeof number, value(k)).ptr;
        out->append(number, end);
        *out += ',';
    }
    if (count > 0) {
        out->pop_back();
    }
    *out += ']';
}

void put_memory(std::string* out, const PageMemory& memory)
{
    const std::vector<NodeMemory>& nodes = memory.nodes;
    *out += ",\"memory\":{\"size\":" + std::to_string(memory.node_size) +
            ",\"word\":" + std::to_string(memory.word_offset) +
            ",\"count\":" + std::to_string(memory.count_offset) +
            ",\"next\":" + std::to_string(memory.next_offset);
    put_numbers(out, "at", nodes.size(), [&](std::size_t i) { return nodes[i].at; });
    put_numbers(out, "wordAt", nodes.size(), [&](std::size_t i) { return nodes[i].word_at; });
    put_numbers(out, "counts", nodes.size(), [&](std::size_t i) { return nodes[i].count; });
    put_numbers(out, "nexts", nodes.size(), [&](std::size_t i) { return nodes[i].next; });
    put_numbers(out, "sizes", nodes.size(), [&](std::size_t i) { return nodes[i].word_size; });
    *out += ",\"heads\":[";
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        std::string head;
        for (const char c : nodes[i].word_head) {
            char hex[4];
            (void)std::snprintf(hex, sizeof hex, "%02x", static_cast<unsigned char>(c));
            head += (head.empty() ? "" : " ") + std::string(hex);
        }
        *out += (i == 0 ? "\"" : ",\"") + head + "\"";
    }
    *out += ']';
    std::vector<std::uint32_t> order(2 * nodes.size());
    for (std::uint32_t row = 0; row < order.size(); ++row) {
        order[row] = row;
    }
    const auto address = [&](std::uint32_t row) {
        return row % 2 == 0 ? nodes[row / 2].at : nodes[row / 2].word_at;
    };
    std::sort(order.begin(), order.end(),
              [&](std::uint32_t a, std::uint32_t b) { return address(a) < address(b); });
    put_numbers(out, "order", order.size(), [&](std::size_t r) { return order[r]; });
    *out += '}';
}

} // namespace

// The k-th node made stands at report index n - 1 - k, and is at position
// listed - k of a list of `listed` nodes.
std::vector<std::uint32_t> compares_of(const Run& run, std::size_t nodes)
{
    std::vector<bool> made(nodes);
    std::vector<std::uint32_t> compares;
    compares.reserve(run.calls.size());
    std::uint32_t listed = 0;
    for (const std::uint32_t i : run.calls) {
        if (i == Run::kNoMemory || !made[i]) {
            compares.push_back(listed);
            listed += i == Run::kNoMemory ? 0 : 1;
            if (i != Run::kNoMemory) {
                made[i] = true;
            }
        } else {
            compares.push_back(listed - static_cast<std::uint32_t>(nodes - 1 - i));
        }
    }
    return compares;
}

std::string page_data(const std::vector<PageNode>& nodes, const Run& run, std::string_view text,
                      const PageMemory* memory, std::string_view printed)
{
    const std::size_t seeds = run.calls.size() - run.word_starts.size();
    std::vector<std::string> shown;
    shown.reserve(nodes.size());
    std::string out = "{\"seeds\":" + std::to_string(seeds) + ",\"addresses\":[";
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        put_string(&out, nodes[i].address);
        out += i + 1 < nodes.size() ? "," : "";
        shown.push_back(shown_word(std::string(nodes[i].word)));
    }
    out += "],\"words\":[";
    std::string fitted;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        put_string(&out, shown[i]);
        out += i + 1 < nodes.size() ? "," : "";
        const std::string fit = fit_columns(shown[i], NodeBox::kWordColumns);
        if (fit != shown[i]) {
            fitted += (fitted.empty() ? "\"" : ",\"") + std::to_string(i) + "\":";
            put_string(&fitted, fit);
        }
    }
    out += "],\"fitted\":{" + fitted + "}";
    const auto node = [&](std::size_t k) {
        return run.calls[k] == Run::kNoMemory ? -1LL : static_cast<long long>(run.calls[k]);
    };
    put_numbers(&out, "calls", run.calls.size(), node);
    const std::vector<std::uint32_t> compares = compares_of(run, nodes.size());
    put_numbers(&out, "compares", compares.size(), [&](std::size_t k) { return compares[k]; });

    // The text up to its first zero byte, each word as the boxes show it; a
    // lost word, which no box shows, as it would show.
    const std::string_view all = text.substr(0, text.find('\0'));
    std::string source;
    std::string lost;
    std::size_t end = 0;
    for (std::size_t w = 0; w < run.word_starts.size(); ++w) {
        const std::size_t start = run.word_starts[w];
        const std::size_t stop = std::min(all.find_first_of(kSeparators, start), all.size());
        source.append(all.substr(end, start - end));
        const std::uint32_t i = run.calls[seeds + w];
        if (i == Run::kNoMemory) {
            lost += lost.empty() ? "" : ",";
            put_string(&lost, shown_word(std::string(all.substr(start, stop - start))));
            source += shown_word(std::string(all.substr(start, stop - start)));
        } else {
            source += shown[i];
        }
        end = stop;
    }
    source.append(all.substr(end));
    out += ",\"lost\":[" + lost + "]";
    // Between two words only separators stand, one UTF-16 unit each.
    put_numbers(&out, "gaps", run.word_starts.size(), [&](std::size_t w) {
        const std::size_t before = w == 0 ? 0 : run.word_starts[w - 1];
        return run.word_starts[w] -
               (w == 0 ? 0 : std::min(all.find_first_of(kSeparators, before), all.size()));
    });
    out += ",\"source\":";
    put_string(&out, source);
    if (memory != nullptr) {
        put_memory(&out, *memory);
    }
    if (!printed.empty()) {
        // A browser reads a report file's bytes of no valid UTF-8 as U+FFFD.
        const std::string bytes(printed);
        std::string valid;
        valid.reserve(bytes.size());
        for (std::size_t at = 0, length = 1; at < bytes.size(); at += std::max<std::size_t>(length, 1)) {
            length = 1;
            const bool ascii = static_cast<unsigned char>(bytes[at]) < 0x80;
            if (!ascii) {
                (void)decode_utf8(bytes, at, &length);
            }
            valid += length == 0 ? std::string("\xEF\xBF\xBD") : bytes.substr(at, length);
        }
        out += ",\"printed\":";
        put_string(&out, valid);
    }
    return out + "}";
}
