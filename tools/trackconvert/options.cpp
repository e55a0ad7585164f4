#include "options.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

// Help lines are indented to this column after their tab.
constexpr std::size_t kHelpColumn = 13;

// A writer option and the first row that lists it.
struct ListedOption {
    const formats::WriterOption* option;
    const formats::FormatRow* row;
};

// The options of every writer, once each, by their flags in alphabetical
// order: the order of the usage text and of the checks.
std::vector<ListedOption> WriterOptions() {
    std::vector<ListedOption> listed;
    for (const formats::FormatRow* row : formats::AllFormats()) {
        for (const formats::WriterOption& option : row->options) {
            const bool known =
                std::any_of(listed.begin(), listed.end(), [&](const ListedOption& l) {
                    return std::strcmp(l.option->flag, option.flag) == 0;
                });
            if (!known) {
                listed.push_back({&option, row});
            }
        }
    }
    std::sort(listed.begin(), listed.end(), [](const ListedOption& a, const ListedOption& b) {
        return std::strcmp(a.option->flag, b.option->flag) < 0;
    });
    return listed;
}

// The option of a writer that `argument` ("-clamp") names; null for none.
const formats::WriterOption* WriterOptionOf(const char* argument) {
    for (const ListedOption& listed : WriterOptions()) {
        if (argument[0] == '-' && std::strcmp(argument + 1, listed.option->flag) == 0) {
            return listed.option;
        }
    }
    return nullptr;
}

// "-clamp", "-sport <s>".
std::string Spelled(const formats::WriterOption& option) {
    return std::string("-") + option.flag +
           (option.value != nullptr ? std::string(" <") + option.value + ">" : "");
}

bool Lists(const formats::FormatRow* row, const char* flag) {
    return row != nullptr && std::any_of(row->options.begin(), row->options.end(),
                                         [flag](const formats::WriterOption& option) {
                                             return std::strcmp(option.flag, flag) == 0;
                                         });
}

// "-clamp and -extrude are for KML output": the options of `row`, and the
// first word of its description.
std::string ForItsOutput(const formats::FormatRow& row) {
    std::string flags;
    const std::size_t count = row.options.count;
    for (std::size_t i = 0; i < count; ++i) {
        flags += i == 0 ? "" : i + 1 == count ? " and " : ", ";
        flags += std::string("-") + row.options.first[i].flag;
    }
    const std::string description = row.description;
    return flags + (count > 1 ? " are" : " is") + " for " +
           description.substr(0, description.find(' ')) + " output";
}

// The value after a writer option that takes one: one of its choices, if it
// has them. Null, with `problem` saying why, for none.
const char* OptionValue(const formats::WriterOption& option, const char* value,
                        std::string& problem) {
    const std::string flag = std::string("-") + option.flag;
    const std::string accepted = option.choices != nullptr ? ": " + option.Choices() : "";
    if (value == nullptr) {
        problem = flag + " needs a " + option.flag + accepted;
        return nullptr;
    }
    if (option.choices == nullptr) {
        return value;
    }
    for (const char* const* choice = option.choices; *choice != nullptr; ++choice) {
        if (std::strcmp(value, *choice) == 0) {
            return value;
        }
    }
    problem = std::string("unknown ") + option.flag + " \"" + value + "\" after " + flag + accepted;
    return nullptr;
}

// The format named after -f or -t.
bool FormatOption(const char* option, const char* value, bool readable, formats::Format& format,
                  std::string& problem) {
    const std::string accepted =
        readable ? formats::Format::ReadableNames() : formats::Format::WritableNames();
    if (value == nullptr) {
        problem = std::string(option) + " needs a format: " + accepted;
        return false;
    }
    format = formats::Format::Named(value);
    if (!format.Known()) {
        problem = std::string("unknown format \"") + value + "\" after " + option + ": " + accepted;
        return false;
    }
    if (readable ? !format.Readable() : !format.Writable()) {
        problem = std::string(readable ? "cannot read " : "cannot write ") + format.Describe() +
                  "s; " + option + " takes " + accepted;
        return false;
    }
    return true;
}

// The writer options given are all for the output's format, and go together.
bool WriterOptionsFit(const Options& options, std::string& problem) {
    for (const ListedOption& listed : WriterOptions()) {
        if (options.writing.Flag(listed.option->flag) &&
            !Lists(options.to.Row(), listed.option->flag)) {
            problem = ForItsOutput(*listed.row);
            return false;
        }
    }
    const auto check = options.to.Row()->check_options;
    const char* clash = check != nullptr ? check(options.writing) : nullptr;
    if (clash != nullptr) {
        problem = clash;
        return false;
    }
    return true;
}

}  // namespace

bool ParseOptions(int argc, char* argv[], Options& options, std::string& problem) {
    problem.clear();
    int names = 0;
    bool to_given = false;
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (std::strcmp(argument, "-f") == 0 || std::strcmp(argument, "-t") == 0) {
            const bool from = argument[1] == 'f';
            if (!FormatOption(argument, value, from, from ? options.from : options.to, problem)) {
                return false;
            }
            to_given = to_given || !from;
            ++i;
        } else if (std::strcmp(argument, "-salvage") == 0) {
            options.salvage = true;
        } else if (const formats::WriterOption* option = WriterOptionOf(argument)) {
            if (option->value == nullptr) {
                options.writing.Set(option->flag);
                continue;
            }
            const char* given = OptionValue(*option, value, problem);
            if (given == nullptr) {
                return false;
            }
            options.writing.Set(option->flag, given);
            ++i;
        } else if (++names == 1) {
            options.input = argument;
        } else {
            options.output = argument;
        }
    }
    if (names != 2) {
        return false;
    }
    if (!to_given) {
        options.to = formats::Format::OfExtension(options.output);
        if (!options.to.Known()) {
            problem = options.output + ": cannot tell the format from the name; give it with -t";
            return false;
        }
        if (!options.to.Writable()) {
            problem = options.output + ": cannot write " + options.to.Describe() + "s; -t takes " +
                      formats::Format::WritableNames();
            return false;
        }
    }
    return WriterOptionsFit(options, problem);
}

std::string WriterOptionsSynopsis() {
    std::string synopsis;
    for (const ListedOption& listed : WriterOptions()) {
        synopsis += " [" + Spelled(*listed.option) + "]";
    }
    return synopsis;
}

std::string WriterOptionsHelp() {
    std::string help;
    for (const ListedOption& listed : WriterOptions()) {
        const formats::WriterOption& option = *listed.option;
        std::string name = Spelled(option);
        name.resize(std::max(name.size() + 1, kHelpColumn), ' ');
        // The first line with the choices, the others under it.
        std::string_view text = option.help;
        std::size_t line_end = text.find('\n');
        help += "\t" + name + std::string(text.substr(0, line_end)) +
                (option.choices != nullptr ? ": " + option.Choices() : "") + "\n";
        while (line_end != std::string_view::npos) {
            text.remove_prefix(line_end + 1);
            line_end = text.find('\n');
            help +=
                "\t" + std::string(kHelpColumn, ' ') + std::string(text.substr(0, line_end)) + "\n";
        }
    }
    return help;
}
