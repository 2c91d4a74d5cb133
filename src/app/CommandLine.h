#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace app {

// What the command line asks for. It is read before any window exists, so that a mistake is told
// in a terminal without a display.
struct CommandLine {
    enum class Action { Run, Help, Version, Refuse };
    Action action = Action::Run;
    std::optional<std::filesystem::path> drive;      // --drive DIR: an existing folder
    std::optional<std::filesystem::path> screenshot; // --screenshot FIL
    std::string refusal;                             // Refuse: what is wrong, in one line
};

// The arguments after the program's name. "--drive DIR" and "--drive=DIR" alike; an unknown
// option, a missing value, an argument of its own or a drive folder that does not exist refuses.
CommandLine parseCommandLine(const std::vector<std::string>& args);

// The options, as --help prints them.
std::string helpText();

// Exit status of a refused command line.
inline constexpr int BadCommandLine = 2;

} // namespace app
