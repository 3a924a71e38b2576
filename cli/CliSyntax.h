// The commands and options of orvik-cli, each written once: the parser, the
// usage texts and the manual page's option list are all made from here.
#pragma once

#include "cli/CliArguments.h"

#include <span>

namespace orvik::cli {

// A set of commands, one bit per command.
using CommandSet = unsigned;
constexpr CommandSet bit(Command command) {
    return 1u << unsigned(command);
}
constexpr CommandSet EveryCommand = (1u << (unsigned(Command::Help) + 1)) - 1; // Help is last
// An option that stands in place of a command, as the first argument.
constexpr CommandSet InPlaceOfCommand = 1u << 31;

struct CommandSyntax {
    const char* name;
    Command command;
    const char* argument; // PATH, TEXT, BOOKMARK or NAME; nullptr for none
    const char* summary;  // its line in the program's usage; nullptr: not listed
    const char* about;    // its usage text under the Usage line
    const char* note;     // said after the options it alone takes; may be nullptr
    // A second argument it may take, given in brackets (DIRECTORY); nullptr for none.
    const char* optional = nullptr;
};

struct OptionSyntax {
    const char* name;            // "--width"
    const char* alias = nullptr; // "-h"
    const char* value = nullptr; // what it takes ("N"); nullptr for a flag
    CommandSet commands = 0;
    bool required = false;
    // Throws std::invalid_argument with a one-line message on a bad value.
    void (*apply)(CliArguments& args, const QString& value) = nullptr;
    const char* help = nullptr;   // the usage text's lines, one '\n' between lines
    const char* detail = nullptr; // lines the usage text adds as they are
    const char* manual = nullptr; // the manual page's text, when not the help's
};

std::span<const CommandSyntax> commandSyntax();
// In the order the usage texts list them. An option may have one row per
// group of commands that describe it differently.
std::span<const OptionSyntax> optionSyntax();

const CommandSyntax* findCommand(const QString& name);
// The option that `name` (its long name or alias) names among `commands`.
const OptionSyntax* findOption(const QString& name, CommandSet commands);

// "--width N", "--no-paths".
QString optionSynopsis(const OptionSyntax& option);

} // namespace orvik::cli
