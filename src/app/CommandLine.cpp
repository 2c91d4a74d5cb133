#include "app/CommandLine.h"

#include <system_error>

namespace app {

namespace {

CommandLine refuse(std::string why) {
    CommandLine line;
    line.action = CommandLine::Action::Refuse;
    line.refusal = std::move(why);
    return line;
}

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-h" || arg == "--help") {
            line.action = CommandLine::Action::Help;
            return line;
        }
        if (arg == "-v" || arg == "--version") {
            line.action = CommandLine::Action::Version;
            return line;
        }
        std::string name = arg;
        std::optional<std::string> value;
        if (const auto eq = arg.find('='); arg.starts_with("--") && eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        }
        if (name != "--drive" && name != "--screenshot") {
            if (arg.starts_with('-'))
                return refuse("okänd flagga: " + arg);
            return refuse("oväntat argument: " + arg);
        }
        if (!value) {
            if (i + 1 == args.size())
                return refuse(name + " saknar sitt värde");
            value = args[++i];
        }
        if (value->empty())
            return refuse(name + " saknar sitt värde");
        if (name == "--drive")
            line.drive = *value;
        else
            line.screenshot = *value;
    }
    // The drive folder must be there already: a mistyped name would otherwise become a new, empty
    // data folder in a place nobody meant.
    std::error_code ec;
    if (line.drive && !std::filesystem::is_directory(*line.drive, ec))
        return refuse("mappen finns inte: " + line.drive->string());
    return line;
}

std::string helpText() {
    return "Användning: moniva [--drive DIR] [--screenshot FIL]\n"
           "Moniva – hushållsekonomi med kassabok och budget.\n"
           "\n"
           "Flaggor:\n"
           "  --drive DIR        Mappen som spelar enhetens rot; data ligger i DIR/MoniData.\n"
           "                     Mappen måste finnas.\n"
           "  --screenshot FIL   Starta som vanligt, spara en bild av huvudfönstret (med\n"
           "                     öppna dialoger) i FIL och avsluta.\n"
           "  -h, --help         Visa flaggorna och avsluta.\n"
           "  -v, --version      Visa programversionen och avsluta.\n";
}

} // namespace app
