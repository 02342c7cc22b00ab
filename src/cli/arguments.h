#pragma once

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The command line of ambrel-cli: each command declares its options as a table, which
// gives the parser, the usage line and the option list of its help alike.
namespace ambrel::cli {

struct OptionSpec {
    std::string_view name;        // "--title"
    std::string_view short_name;  // "-r", or empty
    std::string_view value;       // what the value is called ("T", "all|tagged"); empty for a flag
    std::string_view help;
    bool required = false;
};

// A command line that cannot be run: the message names what is wrong.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The options and operands given to one command. Options may stand anywhere before "--";
// an option given twice keeps its last value.
class Arguments {
public:
    bool Help() const { return help_; }
    bool Has(std::string_view name) const { return values_.count(std::string(name)) > 0; }
    std::optional<std::string> Value(std::string_view name) const;
    const std::vector<std::string>& Operands() const { return operands_; }

    // Parses args (the words after the command's name) by the option table; "-h" and
    // "--help" ask for the help whatever else is given. Throws UsageError.
    static Arguments Parse(const std::vector<OptionSpec>& options,
                           const std::vector<std::string>& args);

private:
    bool help_ = false;
    std::map<std::string, std::string> values_;  // a flag holds an empty value
    std::vector<std::string> operands_;
};

// "--name" or "--name=value": the option's name and, with "=", its value.
std::pair<std::string, std::optional<std::string>> SplitOption(std::string_view word);

// The synopsis of the options, as a usage line shows it, one item per option: "[-r]",
// "[--mode all|tagged]", "--mask MASK" (a required option stands without brackets).
std::vector<std::string> Synopsis(const std::vector<OptionSpec>& options);
// The words of a text, split at its spaces.
std::vector<std::string> Words(std::string_view text);
// first, then the words, in lines of at most 80 characters; each line after the first is
// indented by indent spaces. A word longer than a line stands alone on its line.
std::string Wrapped(std::string_view first, const std::vector<std::string>& words,
                    std::size_t indent);
// The option list of a help text, one option a line, help texts lined up.
std::string OptionList(const std::vector<OptionSpec>& options);

// The value of an option that must be one of a few words.
template <typename T>
T Choice(const Arguments& args, std::string_view name,
         const std::vector<std::pair<std::string_view, T>>& choices, T fallback) {
    const std::optional<std::string> value = args.Value(name);
    if (!value) return fallback;
    for (const auto& [word, choice] : choices)
        if (*value == word) return choice;
    throw UsageError("invalid value '" + *value + "' for " + std::string(name));
}

// The value of an option that must be a whole number from min to max.
std::optional<int> NumberOption(const Arguments& args, std::string_view name, int min, int max);

}  // namespace ambrel::cli
