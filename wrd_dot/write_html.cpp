#include "page.h"
#include "page_data.h"
#include "report_words.h"
#include "word_text.h"
#include "writers.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace {

// The page up to `marker`, which it must hold; `at` moves past the marker.
std::string_view until(std::string_view page, std::string_view marker, std::size_t* at)
{
    const std::size_t end = page.find(marker, *at);
    const std::string_view part = page.substr(*at, end - *at);
    *at = end + marker.size();
    return part;
}

// The report as wrd printed it, from its lines read back: each line is as
// wrd's format makes it, and ends as it ended, in LF or CR LF.
std::string printed_report(const Report& report)
{
    const auto end = [&](std::size_t line) {
        return line < report.crlf.size() && report.crlf[line] ? "\r\n" : "\n";
    };
    const auto padded = [](long n) {
        const std::string digits = std::to_string(n);
        return std::string(digits.size() < 3 ? 3 - digits.size() : 0, ' ') + digits;
    };
    if (report.nodes.empty()) {
        return std::string(kEmptyList) + end(0);
    }
    std::string out = std::string(kListStart) + ": " + report.start + end(0);
    for (std::size_t i = 0; i < report.nodes.size(); ++i) {
        const ReportNode& node = report.nodes[i];
        out += padded(node.position) + kAddressLabel + node.address + kCountLabel + padded(node.count) +
               kWordLabel + node.word + kNextLabel + node.next + end(i + 1);
    }
    return out;
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
// adds: its data (page_data), which the script steps through, drawing each
// step's boxes. The text box, where the page has one, holds the text; an
// empty report writes the page with no run, which runs that text itself.
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
    std::vector<PageNode> nodes;
    nodes.reserve(report.nodes.size());
    for (const ReportNode& node : report.nodes) {
        nodes.push_back({node.address, node.word});
    }
    std::size_t at = 0;
    Sink sink{out};
    if (text_box) {
        sink.put(std::string(until(page, kTryText, &at)) + for_text_box(text));
    }
    sink.put(std::string(until(page, "<!-- data -->", &at)));
    sink.put(report.nodes.empty() ? page_data(nodes, run, std::string_view())
                                  : page_data(nodes, run, text, nullptr, printed_report(report)));
    sink.put(std::string(page.substr(at)));
    return sink.ok && std::fflush(out) == 0;
}
