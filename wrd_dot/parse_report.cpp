#include "report.h"
#include "report_words.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <unordered_map>
#include <utility>

namespace {

// The pieces of one line, taken from the front; each step fails on the first
// byte that does not fit.
struct Cursor {
    const std::string& line;
    std::size_t at = 0;

    bool literal(const char* text)
    {
        const std::size_t size = std::strlen(text);
        if (line.compare(at, size, text) != 0) {
            return false;
        }
        at += size;
        return true;
    }

    // "%3d" of a number from 1 to 2147483647: blanks before fewer than three
    // digits fill the field to three, and no more than that.
    bool number(long* value)
    {
        const std::size_t begin = at;
        while (at < line.size() && line[at] == ' ') {
            ++at;
        }
        const std::size_t blanks = at - begin;
        const std::size_t digits_at = at;
        while (at < line.size() && line[at] >= '0' && line[at] <= '9') {
            ++at;
        }
        const std::size_t digits = at - digits_at;
        if (digits == 0 || digits > 10 || blanks != (digits < 3 ? 3 - digits : 0) || line[digits_at] == '0') {
            return false;
        }
        errno = 0;
        *value = std::strtol(line.c_str() + digits_at, nullptr, 10);
        return errno == 0 && *value >= 1 && *value <= 2147483647L;
    }

    // The bytes up to the next blank or the end of the line.
    std::string token()
    {
        const std::size_t end = std::min(line.find(' ', at), line.size());
        std::string piece = line.substr(at, end - at);
        at = end;
        return piece;
    }

    bool at_end() const { return at == line.size(); }
};

bool is_address(const std::string& text)
{
    if (text == "(nil)") {
        return true;
    }
    const std::size_t digits = text.compare(0, 2, "0x") == 0 ? 2 : 0;
    return text.size() > digits && text.size() - digits <= 16 &&
           text.find_first_not_of("0123456789abcdefABCDEF", digits) == std::string::npos;
}

ReportError fault(int line, std::string what) { return ReportError{line, std::move(what)}; }

// No line's part before the word is this long, nor any start line: a line that
// has not ended by then is checked as far as it goes.
constexpr std::size_t kLongestHead = 128;
// The next field's label, an address and a CR: what may follow the blank behind a word.
constexpr std::size_t kLongestTail = sizeof kNextLabel - 1 + 18 + 1;
// wrd reads at most INT32_MAX bytes, so no word it prints is longer, nor any
// line longer than this: a longer one is refused before it fills memory.
constexpr std::size_t kLongestLine = kLongestHead + 2147483647U + kLongestTail;

// Checks a report as its lines arrive, so that the first wrong line is known as
// soon as it has been read, or as soon as what has come of it cannot start a
// right one, whatever follows.
class Reader {
  public:
    // Takes the next bytes of the input; returns the first fault.
    std::optional<ReportError> feed(const char* data, std::size_t size)
    {
        for (const char* end = data + size; data != end;) {
            const char* feed_end = std::find(data, end, '\n');
            partial_.append(data, feed_end);
            if (partial_.size() > kLongestLine) {
                return fault(lines_ + 1, "the line is longer than any that wrd prints");
            }
            if (feed_end == end) {
                return check_unfinished();
            }
            data = feed_end + 1;
            const bool crlf = !partial_.empty() && partial_.back() == '\r';
            report_.crlf.push_back(crlf);
            if (crlf) {
                partial_.pop_back();
            }
            if (auto error = take_line(partial_)) {
                return error;
            }
            partial_.clear();
            scanned_ = 0;
        }
        return std::nullopt;
    }

    // The input ended: the report, or what it lacks.
    std::variant<Report, ReportError> finish()
    {
        if (!partial_.empty()) {
            return fault(lines_ + 1, "the input ends inside this line");
        }
        if (lines_ == 0) {
            return fault(1, "the input is empty, not a wrd report");
        }
        if (!empty_list_ && report_.nodes.empty()) {
            return fault(2, "the input ends before the first node's line");
        }
        resolve_links();
        return std::move(report_);
    }

  private:
    // Each link once, by the address's value: to a node, to NULL, or to an
    // address that no node has, numbered in order of first use.
    void resolve_links()
    {
        const std::size_t n = report_.nodes.size();
        std::unordered_map<std::uint64_t, Target> unknown_at;
        const auto target = [&](const std::string& address) {
            const std::uint64_t value = address_value(address);
            const auto node = index_of_.find(value);
            if (value == 0 || node != index_of_.end()) {
                return value == 0 ? n : node->second;
            }
            const auto placed = unknown_at.emplace(value, n + 1 + report_.unknown.size());
            if (placed.second) {
                report_.unknown.push_back(address);
            }
            return placed.first->second;
        };
        report_.start_target = empty_list_ ? n : target(report_.start);
        for (ReportNode& node : report_.nodes) {
            node.target = target(node.next);
        }
    }

    // A whole line, without its line end.
    std::optional<ReportError> take_line(const std::string& line)
    {
        ++lines_;
        if (lines_ == 1) {
            return take_first(line);
        }
        if (empty_list_) {
            return fault(lines_, "nothing may follow the empty-list line");
        }
        ReportNode node{};
        if (auto error = parse_node(line, &node)) {
            return error;
        }
        const auto placed = index_of_.emplace(address_value(node.address), report_.nodes.size());
        if (!placed.second) {
            return fault(lines_, "the address " + node.address + " is also the node's on line " +
                                     std::to_string(placed.first->second + 2));
        }
        report_.nodes.push_back(std::move(node));
        return std::nullopt;
    }

    std::optional<ReportError> take_first(const std::string& line)
    {
        if (line == kEmptyList) {
            empty_list_ = true;
            return std::nullopt;
        }
        Cursor start{line};
        if (!start.literal(kListStart) || !start.literal(": ")) {
            return fault(1, std::string("expected \"") + kListStart + ": \" or \"" + kEmptyList + "\"");
        }
        report_.start = start.token();
        if (!is_address(report_.start) || !start.at_end()) {
            return fault(1, "the start address is not an address");
        }
        return std::nullopt;
    }

    // Up to the word; `c` stops at its first byte.
    std::optional<ReportError> parse_head(Cursor* c, ReportNode* node) const
    {
        const long expected = static_cast<long>(report_.nodes.size() + 1);
        if (!c->number(&node->position) || !c->literal(kAddressLabel)) {
            return fault(lines_, std::string("not a node's line: expected a position, then \"") +
                                     kAddressLabel + "\"");
        }
        if (node->position != expected) {
            return fault(lines_, "position " + std::to_string(node->position) + " where " +
                                     std::to_string(expected) + " was expected");
        }
        node->address = c->token();
        if (!is_address(node->address) || is_null_address(node->address)) {
            return fault(lines_, "the node's own address is not an address, or is null");
        }
        if (!c->literal(kCountLabel)) {
            return fault(lines_, std::string("expected \"") + kCountLabel + "\" after the address");
        }
        if (!c->number(&node->count)) {
            return fault(lines_, "the count is not a number from 1 to 2147483647");
        }
        if (!c->literal(kWordLabel)) {
            return fault(lines_, std::string("expected \"") + kWordLabel + "\" after the count");
        }
        return std::nullopt;
    }

    std::optional<ReportError> parse_node(const std::string& line, ReportNode* node) const
    {
        Cursor c{line};
        if (auto error = parse_head(&c, node)) {
            return error;
        }
        node->word = c.token();
        if (node->word.empty() || !c.literal(kNextLabel)) {
            return fault(lines_, std::string("expected a word, then \"") + kNextLabel + "\"");
        }
        node->next = c.token();
        if (!is_address(node->next) || !c.at_end()) {
            return fault(lines_, "the next node's address is not an address");
        }
        return std::nullopt;
    }

    // The line that has not ended yet, once it is too long to be judged by its
    // end: its head, and whatever stands behind the blank after its word.
    std::optional<ReportError> check_unfinished()
    {
        if (partial_.size() < kLongestHead) {
            return std::nullopt;
        }
        ++lines_;
        std::optional<ReportError> error;
        if (lines_ == 1) {
            error = take_first(partial_); // no start line is this long
        } else if (empty_list_) {
            error = fault(lines_, "nothing may follow the empty-list line");
        } else if (scanned_ == 0) {
            ReportNode node{};
            Cursor c{partial_};
            error = parse_head(&c, &node);
            scanned_ = c.at;
        }
        if (!error && scanned_ > 0) {
            const std::size_t blank = partial_.find(' ', scanned_);
            scanned_ = blank == std::string::npos ? partial_.size() : blank;
            if (blank != std::string::npos && partial_.size() - blank > kLongestTail) {
                ReportNode node{};
                error = parse_node(partial_, &node);
            }
        }
        --lines_;
        return error;
    }

    Report report_;
    std::string partial_;     // the line read so far
    std::size_t scanned_ = 0; // how far the unfinished line's word was searched for its end
    int lines_ = 0;           // the lines taken whole
    bool empty_list_ = false;
    std::unordered_map<std::uint64_t, std::size_t> index_of_; // each node's by its address's value
};

} // namespace

std::uint64_t address_value(const std::string& address)
{
    return address == "(nil)" ? 0 : std::strtoull(address.c_str(), nullptr, 16);
}

bool is_null_address(const std::string& address) { return address_value(address) == 0; }

// Lines are split at LF, and one CR before it is dropped, so that both C
// libraries' line ends read alike; a word never holds either byte.
std::variant<Report, ReportError> parse_report(const std::string& text)
{
    Reader reader;
    if (auto error = reader.feed(text.data(), text.size())) {
        return *error;
    }
    return reader.finish();
}

// A line at a time, and no more than a block of one: fread would wait for a
// whole block from a pipe, long after a wrong line has arrived.
std::variant<Report, ReportError> read_report(std::FILE* in)
{
    Reader reader;
    char block[65536];
    for (;;) {
        std::size_t got = 0;
        int c = 0;
        while (got < sizeof block && (c = std::getc(in)) != EOF) {
            block[got++] = static_cast<char>(c);
            if (c == '\n') {
                break;
            }
        }
        if (got == 0) {
            break;
        }
        if (auto error = reader.feed(block, got)) {
            return *error;
        }
    }
    if (std::ferror(in) != 0) {
        return fault(0, "cannot read the input");
    }
    return reader.finish();
}
