#include "cli/arguments.h"

#include <algorithm>
#include <cstdlib>

namespace ambrel::cli {

namespace {

// Where the help texts of an option list start, and where the lines of a help end.
constexpr std::size_t kHelpColumn = 25;
constexpr std::size_t kLineWidth = 80;

const OptionSpec* Find(const std::vector<OptionSpec>& options, std::string_view name) {
    for (const OptionSpec& option : options)
        if (name == option.name || (!option.short_name.empty() && name == option.short_name))
            return &option;
    return nullptr;
}

bool IsOptionWord(std::string_view word) { return word.size() > 1 && word[0] == '-'; }

std::string Heading(const OptionSpec& option) {
    std::string text(option.short_name.empty() ? "" : std::string(option.short_name) + ", ");
    text += option.name;
    if (!option.value.empty()) text += " " + std::string(option.value);
    return text;
}

}  // namespace

std::optional<std::string> Arguments::Value(std::string_view name) const {
    const auto found = values_.find(std::string(name));
    if (found == values_.end()) return std::nullopt;
    return found->second;
}

std::pair<std::string, std::optional<std::string>> SplitOption(std::string_view word) {
    const std::size_t equals = word.find('=');
    if (word.substr(0, 2) != "--" || equals == std::string_view::npos) {
        return {std::string(word), std::nullopt};
    }
    return {std::string(word.substr(0, equals)), std::string(word.substr(equals + 1))};
}

Arguments Arguments::Parse(const std::vector<OptionSpec>& options,
                           const std::vector<std::string>& args) {
    Arguments parsed;
    const auto end_of_options = std::find(args.begin(), args.end(), "--");
    parsed.help_ = std::any_of(args.begin(), end_of_options, [](const std::string& word) {
        return word == "-h" || word == "--help";
    });
    if (parsed.help_) return parsed;
    for (auto it = args.begin(); it != args.end(); ++it) {
        if (it == end_of_options) {
            parsed.operands_.insert(parsed.operands_.end(), it + 1, args.end());
            break;
        }
        if (!IsOptionWord(*it)) {
            parsed.operands_.push_back(*it);
            continue;
        }
        auto [name, value] = SplitOption(*it);
        const OptionSpec* option = Find(options, name);
        if (!option) throw UsageError("unknown option '" + name + "'");
        if (option->value.empty()) {
            if (value) throw UsageError("option '" + name + "' takes no value");
            value = "";
        } else if (!value) {
            if (it + 1 == args.end()) throw UsageError("option '" + name + "' needs a value");
            value = *++it;
        }
        parsed.values_[std::string(option->name)] = *value;
    }
    for (const OptionSpec& option : options) {
        if (option.required && !parsed.Has(option.name))
            throw UsageError("option '" + std::string(option.name) + "' is required");
    }
    return parsed;
}

std::vector<std::string> Synopsis(const std::vector<OptionSpec>& options) {
    std::vector<std::string> items;
    for (const OptionSpec& option : options) {
        if (option.name == "--help") continue;
        std::string item(option.short_name.empty() ? option.name : option.short_name);
        if (!option.value.empty()) item += " " + std::string(option.value);
        items.push_back(option.required ? item : "[" + item + "]");
    }
    return items;
}

std::vector<std::string> Words(std::string_view text) {
    std::vector<std::string> words;
    while (!text.empty()) {
        const std::size_t space = std::min(text.find(' '), text.size());
        if (space > 0) words.emplace_back(text.substr(0, space));
        text.remove_prefix(std::min(space + 1, text.size()));
    }
    return words;
}

std::string Wrapped(std::string_view first, const std::vector<std::string>& words,
                    std::size_t indent) {
    std::string text(first);
    std::size_t line_start = 0;
    for (const std::string& word : words) {
        const bool at_start = text.size() - line_start <= indent;
        if (!at_start && text.size() - line_start + 1 + word.size() > kLineWidth) {
            text += '\n';
            line_start = text.size();
            text.append(indent, ' ');
        } else if (!at_start) {
            text += ' ';
        }
        text += word;
    }
    return text;
}

std::string OptionList(const std::vector<OptionSpec>& options) {
    std::string text;
    for (const OptionSpec& option : options) {
        std::string line = "  " + Heading(option);
        // A heading too long for its column stands on a line of its own.
        if (line.size() + 2 > kHelpColumn) {
            text += line + "\n";
            line.clear();
        }
        line.resize(kHelpColumn, ' ');
        text += Wrapped(line, Words(option.help), kHelpColumn) + "\n";
    }
    return text;
}

std::optional<int> NumberOption(const Arguments& args, std::string_view name, int min, int max) {
    const std::optional<std::string> value = args.Value(name);
    if (!value) return std::nullopt;
    const bool digits =
        !value->empty() && value->size() <= 9 &&
        std::all_of(value->begin(), value->end(), [](char c) { return c >= '0' && c <= '9'; });
    const int number = digits ? std::atoi(value->c_str()) : -1;
    if (!digits || number < min || number > max) {
        throw UsageError("invalid value '" + *value + "' for " + std::string(name) +
                         ": a number from " + std::to_string(min) + " to " + std::to_string(max) +
                         " is wanted");
    }
    return number;
}

}  // namespace ambrel::cli
