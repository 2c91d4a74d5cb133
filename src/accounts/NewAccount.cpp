#include "accounts/NewAccount.h"

#include "accounts/Register.h"
#include "store/Cp1252.h"
#include "store/DateText.h"
#include "store/Errors.h"
#include "store/GroupCommit.h"
#include "store/Paths.h"
#include "store/RecordFile.h"
#include "store/Records.h"

#include <cctype>
#include <cerrno>
#include <system_error>

namespace accounts {

namespace {

namespace fs = std::filesystem;

// Control characters, including the five bytes Windows-1252 leaves undefined (they read back as
// the C1 controls of the same number).
bool isControl(char byte) {
    const auto b = static_cast<unsigned char>(byte);
    return b < 0x20 || b == 0x7F || b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
}

std::string toCp1252(std::string_view utf8, const char* what) {
    std::optional<std::string> bytes = store::utf8ToCp1252(utf8);
    if (!bytes)
        throw store::DataError(std::string(what) + " innehåller tecken som inte kan sparas");
    return *bytes;
}

// Placering only tells where the account was made; it is never used to find the files. A drive
// folder with characters outside Windows-1252 is written with "_" in their place rather than
// keeping the account from being created.
std::string placeringField(const store::DataPaths& paths) {
    return store::cp1252Within(paths.placering(), store::KontoRec::Placering.width, '_');
}

std::string openingPost(std::string_view kindCode, std::string_view date) {
    if (kindCode == "Ek") {
        store::PostRec_Enkel post;
        post.set(store::PostRec_Enkel::Datum, date);
        post.setRecordNumber(store::PostRec_Enkel::TransNr, 1);
        post.setAmount(store::PostRec_Enkel::Belopp, store::Amount());
        post.setAmount(store::PostRec_Enkel::Saldo, store::Amount());
        return std::string(post.bytes());
    }
    store::PostRec_Budget post;
    post.set(store::PostRec_Budget::Datum, date);
    post.setRecordNumber(store::PostRec_Budget::TransNr, 1);
    for (const store::Field f : {store::PostRec_Budget::BudgBelopp, store::PostRec_Budget::VerklBelopp,
                                 store::PostRec_Budget::BudgSaldo, store::PostRec_Budget::VerklSaldo,
                                 store::PostRec_Budget::DiffSaldo})
        post.setAmount(f, store::Amount());
    post.set(store::PostRec_Budget::BStatus, "*"); // the opening post is real, not only budgeted
    return std::string(post.bytes());
}

std::string standardTransactions() {
    std::string bytes;
    const auto add = [&bytes](std::string_view name, std::string_view sign) {
        store::TransRec rec;
        rec.set(store::TransRec::TransNamn, name);
        rec.set(store::TransRec::Tecken, sign);
        bytes += rec.bytes();
    };
    add("Kontostart", " ");
    add("Ins\xE4ttning", "+");
    add("Uttag", "-");
    return bytes;
}

// Whether what stands at the folder's place keeps a new account from taking the name. An empty
// folder that no register record names is what an account removal cut off after its commit
// leaves (the folder goes last); it holds nothing of anybody's and does not.
bool folderBlocks(const store::DataPaths& paths, const fs::path& folder, std::string_view cp1252Name) {
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(folder, ec);
    if (!fs::exists(status))
        return false;
    if (!fs::is_directory(status) || !fs::is_empty(folder, ec) || ec)
        return true;
    if (!fs::exists(paths.kontoFil(), ec))
        return static_cast<bool>(ec);
    const store::RecordFile kontoFil(paths.kontoFil(), store::KontoRec::Length,
                                     store::RecordFile::Missing::Fail);
    for (std::size_t n = 1; n <= kontoFil.count(); ++n)
        if (kontoFil.read<store::KontoRec>(n).name() == cp1252Name)
            return true;
    return false;
}

} // namespace

std::optional<std::string> accountNameProblem(std::string_view utf8Name) {
    if (utf8Name.empty())
        return "Kontonamnet får inte vara tomt !";
    // One byte per character from here on.
    const std::optional<std::string> bytes = store::utf8ToCp1252(utf8Name);
    if (!bytes)
        return "Kontonamnet innehåller tecken som inte kan sparas !\r\n\r\n"
               "Använd bokstäver, siffror och vanliga skiljetecken.";
    if (bytes->find_first_of("/\\") != std::string::npos)
        return "Kontonamnet får inte innehålla tecknen / eller \\ !";
    for (const char c : *bytes)
        if (isControl(c))
            return "Kontonamnet får inte innehålla styrtecken !";
    if (*bytes == "." || *bytes == "..")
        return "Kontonamnet får inte vara . eller .. !";
    if (bytes->front() == ' ' || bytes->back() == ' ')
        return "Kontonamnet får inte börja eller sluta med mellanslag !";
    // The data folder's own files stand beside the account folders; a name taken by one of them
    // (in any case, for file systems that ignore it) would put a folder where the file belongs.
    for (const std::string_view reserved : store::DataRootFileNames) {
        std::string lower = *bytes, wanted(reserved);
        for (auto* text : {&lower, &wanted})
            for (char& c : *text)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (lower == wanted)
            return "Kontonamnet " + std::string(utf8Name) +
                   " används av programmets egna filer !\r\n\r\n"
                   "Välj ett annat namn.";
    }
    if (bytes->size() > MaxAccountNameLength)
        return "Kontonamnet får vara högst " + std::to_string(MaxAccountNameLength) + " tecken långt !";
    return std::nullopt;
}

std::optional<std::string> accountNumberProblem(std::string_view utf8Number) {
    if (!store::utf8ToCp1252(utf8Number))
        return "Kontonumret innehåller tecken som inte kan sparas !";
    return std::nullopt;
}

bool accountFolderExists(const store::DataPaths& paths, std::string_view utf8Name) {
    if (accountNameProblem(utf8Name))
        return false;
    const std::string name = *store::utf8ToCp1252(utf8Name);
    try {
        return folderBlocks(paths, paths.accountFolder(name), name);
    } catch (const std::exception&) {
        return true; // a register that cannot be read keeps the name taken
    }
}

int createAccount(const store::DataPaths& paths, const NewAccount& account, std::string_view workingDate,
                  std::string_view userName) {
    if (const auto problem = accountNameProblem(account.name))
        throw store::DataError(*problem);
    if (const auto problem = accountNumberProblem(account.number))
        throw store::DataError(*problem);
    if (account.kindCode != "Ek" && account.kindCode != "Bg")
        throw store::DataError("Okänd kontotyp: '" + account.kindCode + "'");
    if (workingDate.size() != 10 || !store::parseDate(workingDate))
        throw store::DataError("Ogiltigt datum: '" + std::string(workingDate) + "'");

    const std::string name = toCp1252(account.name, "Kontonamnet");
    const std::string number = toCp1252(account.number, "Kontonumret");
    const fs::path folder = paths.accountFolder(name);
    if (folderBlocks(paths, folder, name))
        throw store::FileError(std::error_code(EEXIST, std::system_category()), folder.string());

    // The register is read only when it exists: nothing may be created before the group commit.
    std::optional<store::RecordFile> register_;
    if (fs::exists(paths.kontoFil()))
        register_.emplace(paths.kontoFil(), store::KontoRec::Length, store::RecordFile::Missing::Fail);
    const int slot = register_ ? findFreeSlot(*register_) : 1;

    store::KontoRec rec;
    rec.setName(name, false);
    rec.set(store::KontoRec::KontoNr, number);
    rec.set(store::KontoRec::KontoTyp, account.kindCode);
    rec.set(store::KontoRec::Placering, placeringField(paths));

    store::GroupCommit group(paths.journalFolder());
    group.createFolder(folder);
    group.stage(folder / "KontoData", openingPost(account.kindCode, workingDate));
    group.stage(folder / "Transakt", standardTransactions());
    group.stage(folder / "Kategori", std::string());
    // Opening a budget account would make its template; made here, it is part of this change and
    // goes with the account when the change is undone.
    if (account.kindCode == "Bg")
        group.stage(folder / "B-mall", std::string());
    if (register_) {
        register_->writeRaw(static_cast<std::size_t>(slot), rec.bytes());
        group.stage(*register_);
    } else {
        group.stage(paths.kontoFil(), std::string(rec.bytes()));
    }
    group.stage(paths.kontoIni(), kontoIniContent({slot, std::string(userName)}));

    try {
        group.commit();
    } catch (...) {
        // The files are back as they were; an account folder left empty would block the next try.
        std::error_code ignored;
        if (fs::is_directory(folder, ignored) && fs::is_empty(folder, ignored))
            fs::remove(folder, ignored);
        throw;
    }
    return slot;
}

} // namespace accounts
