#include "app/CommandLine.h"

#include "store/DateText.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>
#include <system_error>

namespace app {

namespace {

CommandLine refuse(std::string why) {
    CommandLine line;
    line.action = CommandLine::Action::Refuse;
    line.refusal = std::move(why);
    return line;
}

// Every option takes a value.
constexpr std::array<std::string_view, 8> Options{"--drive", "--screenshot", "--export", "--account",
                                                  "--from",  "--to",         "--out",    "--import"};

std::string lowerEnding(const std::filesystem::path& file) {
    std::string ending = file.extension().string();
    std::transform(ending.begin(), ending.end(), ending.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ending;
}

// The export's options together: refused when one is missing, wrong or given without --export.
std::optional<std::string> exportProblem(CommandLine& line, const std::optional<std::string>& kind) {
    ExportRequest& e = line.exportRequest;
    if (!kind) {
        if (e.everyAccount || !e.accounts.empty() || e.from || e.to || !e.out.empty())
            return "--account, --from, --to och --out hör till --export";
        return std::nullopt;
    }
    using Kind = ExportRequest::Kind;
    if (*kind == "poster")
        e.kind = Kind::Posts;
    else if (*kind == "per-transaktion")
        e.kind = Kind::PerTransaction;
    else if (*kind == "manad")
        e.kind = Kind::Month;
    else
        return "okänd rapport: " + *kind + " (poster, per-transaktion eller manad)";
    if (line.screenshot)
        return "--screenshot går inte ihop med --export";
    if (e.accounts.empty() && !e.everyAccount)
        return "--export saknar --account";
    if (!e.accounts.empty() && e.everyAccount)
        return "--account alla går inte ihop med namngivna konton";
    if (e.out.empty())
        return "--export saknar --out";
    for (const auto& [option, date] : {std::pair{"--from", e.from}, std::pair{"--to", e.to}})
        if (date && !store::parseDate(*date))
            return std::string(option) + " är inget datum (ÅÅÅÅ-MM-DD): " + *date;
    if (e.from && e.to && *e.from > *e.to)
        return "--from ligger efter --to";
    const std::string ending = lowerEnding(e.out);
    if (ending != ".xlsx" && ending != ".csv")
        return "--out ska sluta på .xlsx eller .csv: " + e.out.string();
    line.action = CommandLine::Action::Export;
    return std::nullopt;
}

// The import's options together: one account, and nothing of the export or the window.
std::optional<std::string> importProblem(CommandLine& line, const std::optional<std::string>& file,
                                         const std::optional<std::string>& exportKind, bool dryRun) {
    if (!file)
        return dryRun ? std::optional<std::string>("--dry-run hör till --import") : std::nullopt;
    const ExportRequest& e = line.exportRequest;
    if (exportKind)
        return "--import går inte ihop med --export";
    if (line.screenshot)
        return "--screenshot går inte ihop med --import";
    if (e.from || e.to || !e.out.empty())
        return "--from, --to och --out hör till --export";
    if (e.everyAccount || e.accounts.size() != 1)
        return "--import vill ha precis ett konto: --account KONTO";
    line.importRequest = {*file, e.accounts.front(), dryRun};
    line.exportRequest = {};
    line.action = CommandLine::Action::Import;
    return std::nullopt;
}

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    std::optional<std::string> exportKind, importFile;
    bool dryRun = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--dry-run") {
            dryRun = true;
            continue;
        }
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
        if (std::find(Options.begin(), Options.end(), name) == Options.end()) {
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
        ExportRequest& e = line.exportRequest;
        if (name == "--drive")
            line.drive = *value;
        else if (name == "--screenshot")
            line.screenshot = *value;
        else if (name == "--export")
            exportKind = *value;
        else if (name == "--import")
            importFile = *value;
        else if (name == "--account" && *value == "alla")
            e.everyAccount = true;
        else if (name == "--account")
            e.accounts.push_back(*value);
        else if (name == "--from")
            e.from = *value;
        else if (name == "--to")
            e.to = *value;
        else
            e.out = *value;
    }
    if (const auto wrong = importProblem(line, importFile, exportKind, dryRun))
        return refuse(*wrong);
    if (line.action != CommandLine::Action::Import)
        if (const auto wrong = exportProblem(line, exportKind))
            return refuse(*wrong);
    // The drive folder must be there already: a mistyped name would otherwise become a new, empty
    // data folder in a place nobody meant.
    std::error_code ec;
    if (line.drive && !std::filesystem::is_directory(*line.drive, ec))
        return refuse("mappen finns inte: " + line.drive->string());
    return line;
}

std::string helpText() {
    return "Användning: moniva [--drive DIR] [--screenshot FIL]\n"
           "       moniva [--drive DIR] --export RAPPORT --account KONTO [--from ÅÅÅÅ-MM-DD]\n"
           "              [--to ÅÅÅÅ-MM-DD] --out FIL\n"
           "       moniva [--drive DIR] --import FIL --account KONTO [--dry-run]\n"
           "Moniva – hushållsekonomi med kassabok och budget.\n"
           "\n"
           "Flaggor:\n"
           "  --drive DIR        Mappen som spelar enhetens rot; data ligger i DIR/MoniData.\n"
           "                     Mappen måste finnas.\n"
           "  --screenshot FIL   Starta som vanligt, spara en bild av huvudfönstret (med\n"
           "                     öppna dialoger) i FIL och avsluta.\n"
           "  --export RAPPORT   Spara en rapport som kalkylblad utan att visa något fönster:\n"
           "                     poster (kontots poster), per-transaktion eller manad\n"
           "                     (månad för månad). Läser bara, ändrar ingenting.\n"
           "  --account KONTO    Kontot att ta med; kan ges flera gånger, eller \"alla\".\n"
           "  --from, --to DATUM Periodens första och sista dag; utan dem från första till\n"
           "                     sista posten.\n"
           "  --out FIL          Filen att spara: .xlsx, eller .csv för kalkylprogram (;,\n"
           "                     decimalkomma).\n"
           "  --import FIL       Läs in ett kontoutdrag i kontot (--account) utan fönster: varje\n"
           "                     rad skrivs ut med tabb mellan datum, belopp, bankens text,\n"
           "                     transaktion och status (ny, regel, redan, dubblett,\n"
           "                     reserverad, fel); raderna som en regel placerar läses in.\n"
           "                     Status 0 när alla rader är placerade, 3 när några väntar på\n"
           "                     importfönstret, 2 vid fel fil eller flagga.\n"
           "  --dry-run          Med --import: visa bara raderna, ändra ingenting.\n"
           "  -h, --help         Visa flaggorna och avsluta.\n"
           "  -v, --version      Visa programversionen och avsluta.\n";
}

} // namespace app
