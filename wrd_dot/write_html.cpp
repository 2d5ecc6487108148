#include "count_words.h"
#include "layout.h"
#include "page.h"
#include "word_text.h"
#include "writers.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string_view>

namespace {

constexpr std::size_t kGroup = 128; // boxes per group

// The page up to `marker`, which it must hold; `at` moves past the marker.
std::string_view until(std::string_view page, std::string_view marker, std::size_t* at)
{
    const std::size_t end = page.find(marker, *at);
    const std::string_view part = page.substr(*at, end - *at);
    *at = end + marker.size();
    return part;
}

} // namespace

// A line feed comes first, since HTML drops one after <textarea>, so that the
// text's own first line feed stays. A carriage return is a reference, which
// HTML keeps as it is. What HTML refuses becomes U+FFFD, as a browser reads it.
std::string for_text_box(std::string_view text)
{
    const std::string bytes(text.substr(0, text.find('\0')));
    std::string out = "\n";
    for (std::size_t at = 0; at < bytes.size();) {
        const auto byte = static_cast<unsigned char>(bytes[at]);
        std::size_t length = 1;
        const std::uint32_t code = byte < 0x80 ? byte : decode_utf8(bytes, at, &length);
        const bool refused = length == 0 || (code < 0x20 && code != '\t' && code != '\n' && code != '\r') ||
                             (code >= 0x7F && code < 0xA0) || (code >= 0xFDD0 && code <= 0xFDEF) ||
                             (code & 0xFFFEU) == 0xFFFEU;
        if (refused) {
            out += "\xEF\xBF\xBD";
        } else if (code == '\r') {
            out += "&#13;";
        } else if (code == '&' || code == '<' || code == '>') {
            out += code == '&' ? "&amp;" : code == '<' ? "&lt;" : "&gt;";
        } else {
            out.append(bytes, at, length);
        }
        at += std::max<std::size_t>(length, 1);
    }
    return out;
}

// The page's HTML, CSS and script come from page.h; this writes what the run
// adds: a box per node, the text as the boxes show its words, and the numbers
// that the script steps through. The script draws the boxes where each step
// puts them. The text box, where the page has one, holds the text; an empty
// report writes the page with no run, which runs that text itself.
bool write_html(const Report& report, const Run& run, std::string_view text, std::FILE* out)
{
    std::string page;
    for (const char* part : kPageParts) {
        page += part;
    }
    constexpr std::string_view kTryText = "<!-- try text -->";
    const bool text_box = page.find(kTryText) != std::string::npos;
    if (report.nodes.empty() && !text_box) {
        return false; // no run gives it, and the page cannot run its text
    }
    std::size_t at = 0;
    Sink sink{out};
    sink.put(std::string(until(page, "<!-- boxes -->\n", &at)));
    std::vector<std::string> shown;
    shown.reserve(report.nodes.size());
    for (const ReportNode& node : report.nodes) {
        // Where a box starts or stops being drawn, the browser looks through
        // its siblings for the next drawn one; in groups that each draw a
        // (zero-height) box, it looks through one group, not every box.
        if (shown.size() % kGroup == 0) {
            sink.put(shown.empty() ? "<div class=\"group\">\n" : "</div><div class=\"group\">\n");
        }
        shown.push_back(shown_word(node.word));
        const std::string fitted = fit_columns(shown.back(), NodeBox::kWordColumns);
        sink.put("<div class=\"node\" data-address=\"" + node.address + "\" data-count=\"0\" hidden" +
                 (fitted == shown.back() ? "" : " title=\"" + xml_escape(shown.back()) + "\"") + "><bdi>" +
                 xml_escape(fitted) + "</bdi></div>\n");
    }
    sink.put(shown.empty() ? "" : "</div>\n");
    if (text_box) {
        sink.put(std::string(until(page, kTryText, &at)) + for_text_box(text));
    }
    sink.put(std::string(until(page, "<!-- text -->", &at)));
    // The separators as they are, but a carriage return or a tab as a space,
    // so that the browser reads every one as one character, as the script
    // counts them (it would read CR LF as one); line breaks stay, for the strip.
    std::string gaps;
    std::size_t end = 0;
    for (std::size_t w = 0; w < run.word_starts.size(); ++w) {
        const std::size_t start = run.word_starts[w];
        std::string between(text.substr(end, start - end));
        for (char& c : between) {
            c = c == '\r' || c == '\t' ? ' ' : c;
        }
        const std::string& word = shown[run.calls[std::size(kSeeds) + w]];
        sink.put(between + xml_escape(word));
        gaps += (w == 0 ? "" : ",") + std::to_string(start - end);
        end = start + report.nodes[run.calls[std::size(kSeeds) + w]].word.size();
    }
    sink.put(std::string(until(page, "<!-- data -->\n", &at)));
    sink.put("let SEEDS = " + std::to_string(std::size(kSeeds)) + ";\nlet CALLS = [");
    for (std::size_t k = 0; k < run.calls.size(); ++k) {
        sink.put((k == 0 ? "" : ",") + std::to_string(run.calls[k]));
    }
    sink.put("];\nlet GAPS = [" + gaps + "];\n");
    sink.put(std::string(page.substr(at)));
    return sink.ok && std::fflush(out) == 0;
}
