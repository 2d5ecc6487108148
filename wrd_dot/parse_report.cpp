#include "report.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
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

    // Blanks, then decimal digits: "%3d" of a positive number.
    bool number(long* value)
    {
        while (at < line.size() && line[at] == ' ') {
            ++at;
        }
        const std::size_t begin = at;
        while (at < line.size() && line[at] >= '0' && line[at] <= '9') {
            ++at;
        }
        if (at == begin || at - begin > 10) {
            return false;
        }
        errno = 0;
        *value = std::strtol(line.c_str() + begin, nullptr, 10);
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
    if (text.empty()) {
        return fault(1, "the input is empty, not a wrd report");
    }
    std::vector<std::string> lines;
    for (std::size_t begin = 0; begin < text.size();) {
        const std::size_t end = text.find('\n', begin);
        if (end == std::string::npos) {
            return fault(static_cast<int>(lines.size() + 1), "the input ends inside this line");
        }
        std::string line = text.substr(begin, end - begin);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(std::move(line));
        begin = end + 1;
    }

    Report report;
    if (lines[0] == "Seznam je prazdny.") {
        if (lines.size() > 1) {
            return fault(2, "nothing may follow the empty-list line");
        }
        return report;
    }
    Cursor start{lines[0]};
    if (!start.literal("Zacatek seznamu: ")) {
        return fault(1, "expected \"Zacatek seznamu: \" or \"Seznam je prazdny.\"");
    }
    report.start = start.token();
    if (!is_address(report.start) || !start.at_end()) {
        return fault(1, "the start address is not an address");
    }
    if (lines.size() == 1) {
        return fault(2, "the input ends before the first node's line");
    }

    std::map<std::uint64_t, int> line_of_address;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const int number = static_cast<int>(i + 1);
        Cursor c{lines[i]};
        ReportNode node{};
        if (!c.number(&node.position) || !c.literal(" Adresa: ")) {
            return fault(number, "not a node's line: expected a position, then \" Adresa: \"");
        }
        if (node.position != static_cast<long>(i)) {
            return fault(number, "position " + std::to_string(node.position) + " where " + std::to_string(i) +
                                     " was expected");
        }
        node.address = c.token();
        if (!is_address(node.address) || is_null_address(node.address)) {
            return fault(number, "the node's own address is not an address, or is null");
        }
        if (!c.literal(" Cetnost: ")) {
            return fault(number, "expected \" Cetnost: \" after the address");
        }
        if (!c.number(&node.count)) {
            return fault(number, "the count is not a number from 1 to 2147483647");
        }
        if (!c.literal(" Slovo: ")) {
            return fault(number, "expected \" Slovo: \" after the count");
        }
        node.word = c.token();
        if (node.word.empty() || !c.literal("  Dalsi: ")) {
            return fault(number, "expected a word, then \"  Dalsi: \"");
        }
        node.next = c.token();
        if (!is_address(node.next) || !c.at_end()) {
            return fault(number, "the next node's address is not an address");
        }
        const auto placed = line_of_address.emplace(address_value(node.address), number);
        if (!placed.second) {
            return fault(number, "the address " + node.address + " is also the node's on line " +
                                     std::to_string(placed.first->second));
        }
        report.nodes.push_back(std::move(node));
    }
    return report;
}
