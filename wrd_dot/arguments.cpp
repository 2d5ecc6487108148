#include "arguments.h"

#include <cstddef>

namespace {

// Stores an option's value, or says what is wrong with it.
using Apply = std::string (*)(Options* options, const std::string& value);

struct Option {
    char short_name; // '\0' when there is none
    const char* long_name;
    const char* value_name; // nullptr for an option that takes no value
    Apply apply;
};

// N: decimal digits only, leading zeros allowed, from 1 to 64.
std::string set_columns(Options* options, const std::string& value)
{
    const std::size_t first = value.find_first_not_of('0');
    const std::string digits = first == std::string::npos ? "0" : value.substr(first);
    if (value.empty() || value.find_first_not_of("0123456789") != std::string::npos || digits.size() > 2 ||
        std::stoi(digits) < 1 || std::stoi(digits) > 64) {
        return "N must be a whole number from 1 to 64, not '" + value + "'";
    }
    options->columns = std::stoi(digits);
    return "";
}

std::string set_format(Options* options, const std::string& value)
{
    if (value != "dot" && value != "svg" && value != "html") {
        return "FORMAT must be dot, svg or html, not '" + value + "'";
    }
    options->format = value;
    return "";
}

// One row per option; a new option is a new row.
const Option kOptions[] = {
    {'c', "columns", "N", set_columns},
    {'T', "format", "FORMAT", set_format},
    {'\0', "text", "FILE",
     [](Options* options, const std::string& value) {
         options->text = value;
         return std::string();
     }},
    {'h', "help", nullptr,
     [](Options* options, const std::string&) {
         options->help = true;
         return std::string();
     }},
    {'\0', "version", nullptr,
     [](Options* options, const std::string&) {
         options->version = true;
         return std::string();
     }},
};

const Option* find_short(char name)
{
    for (const Option& option : kOptions) {
        if (option.short_name != '\0' && option.short_name == name) {
            return &option;
        }
    }
    return nullptr;
}

const Option* find_long(const std::string& name)
{
    for (const Option& option : kOptions) {
        if (name == option.long_name) {
            return &option;
        }
    }
    return nullptr;
}

} // namespace

std::variant<Options, std::string> parse_arguments(int argc, const char* const* argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const Option* option = nullptr;
        std::string spelled;   // the option as the message names it
        std::string value;     // the value written inside the argument
        bool attached = false; // whether `value` holds one
        if (argument == "--") {
            if (i + 1 < argc) {
                return "unexpected argument '" + std::string(argv[i + 1]) + "'";
            }
            break;
        }
        if (argument.compare(0, 2, "--") == 0) {
            const std::size_t equals = argument.find('=');
            spelled = argument.substr(0, equals);
            option = find_long(spelled.substr(2));
            attached = equals != std::string::npos;
            value = attached ? argument.substr(equals + 1) : "";
        } else if (argument.size() >= 2 && argument[0] == '-') {
            spelled = argument.substr(0, 2);
            option = find_short(argument[1]);
            attached = argument.size() > 2;
            value = argument.substr(2);
        } else {
            return "unexpected argument '" + argument + "'";
        }
        if (option == nullptr) {
            return "unknown option '" + spelled + "'";
        }
        if (attached && option->value_name == nullptr) {
            return "option '" + spelled + "' takes no value";
        }
        if (option->value_name != nullptr && !attached) {
            if (i + 1 == argc) {
                return "option '" + spelled + "' needs " + option->value_name;
            }
            value = argv[++i];
        }
        const std::string wrong = option->apply(&options, value);
        if (!wrong.empty()) {
            return "option '" + spelled +
                   "': " + wrong; // NOLINT(performance-inefficient-string-concatenation)
        }
    }
    return options;
}
