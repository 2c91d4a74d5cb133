// Random bytes as the undo history a drive folder holds when the program starts: recovered as
// every start does, then a change recorded, undone and made again.
//
// The first part lays out the scratch drive: its first byte says what stands as the history folder (a real
// folder, a link to a folder outside, a file, nothing) and whether a real change is recorded
// first; then every three bytes put one entry into the history folder: a name the history uses or
// one it does not, a kind (a link to a folder or file outside, a dangling link, a file, a FIFO, a
// folder with a manifest and images, a folder whose every name is a link outside) and flags (the
// undone flag, a swap marker). The further parts are the manifests of those folders.
//
// The history removes and renames what it finds, so the harness runs only in a scratch folder made
// for this process, never as root, and checks after every input that nothing outside the data
// root and the history changed: a victim folder with files named like the history's, reached
// through the links; and the history folder when it is a link.

#include "FuzzFiles.h"

#include "store/History.h"
#include "store/RecordFile.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include <sys/stat.h>

namespace {

namespace fs = fuzz::fs;
using fs::path;

const char* const Names[] = {"pending-1",  "pending-77", "drop-0000000001", "0000000001", "0000000002",
                             "0000000003", "1700000000", "tmp-manifest",    "other"};
const char* const Inside[] = {"manifest", "undone", "swap-0", "swap-1", "0-0",
                              "1-0",      "0-1",    "1-1",    "tmp-0-0"};

// Every entry below the folder: bytes of files, targets of links, "<folder>", "<other>".
std::map<std::string, std::string> state(const path& top, const path& skip1, const path& skip2) {
    std::map<std::string, std::string> all;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(top, ec); !ec && it != decltype(it)(); it.increment(ec)) {
        const path p = it->path();
        if (p == skip1 || p == skip2) {
            it.disable_recursion_pending();
            continue;
        }
        const std::string key = p.lexically_relative(top).string();
        if (it->is_symlink())
            all[key] = "<link>" + fs::read_symlink(p).string();
        else if (it->is_directory())
            all[key] = "<folder>";
        else if (it->is_regular_file())
            all[key] = fuzz::readFile(p);
        else
            all[key] = "<other>";
    }
    FUZZ_REQUIRE(!ec);
    return all;
}

class Scratch {
public:
    Scratch() : space_("moniva-fuzz-history") {
        // The history runs with the rights of this process: as root a fault could reach any file.
        FUZZ_REQUIRE(::geteuid() != 0);
    }

    path drive() const { return space_.path() / "drive"; }
    path victim() const { return space_.path() / "victim"; }
    path dataRoot() const { return drive() / "MoniData"; }
    path history() const { return drive() / ".MoniData.history"; }
    path account() const { return dataRoot() / "Hush\xC3\xA5ll"; }

    void reset() {
        std::error_code ec;
        fs::remove_all(drive(), ec);
        fs::remove_all(victim(), ec);
        fs::create_directories(account());
        fuzz::writeFile(dataRoot() / "KontoFil", std::string(82, ' '));
        fuzz::writeFile(account() / "KontoData", std::string(43, ' '));
        fuzz::writeFile(account() / "Transakt", std::string(36, 'T'));
        fs::create_directory_symlink(victim(), dataRoot() / "ut");
        // Named like the history's own entries, so a history that followed a link would take them.
        for (const char* name : {"0000000001", "pending-upload", "drop-0000000001"}) {
            fs::create_directories(victim() / name);
            for (const char* inside : Inside)
                fuzz::writeFile(victim() / name / inside, "victim");
        }
        fuzz::writeFile(victim() / "KontoData", std::string(43, 'v'));
    }

    // What may never change: the victim folder, and the rest of the drive but the data root and
    // a history that is a real folder.
    std::map<std::string, std::string> outside() const {
        const bool realHistory = fs::is_directory(fs::symlink_status(history()));
        return state(space_.path(), dataRoot(), realHistory ? history() : path());
    }

private:
    fuzz::Workspace space_;
};

Scratch& scratch() {
    static Scratch s;
    return s;
}

void change(const path& file, std::string_view bytes) {
    const store::ChangeScope scope;
    store::replaceFileAtomically(file, bytes);
    store::describeChange("fuzz");
}

template <typename Step> void tolerating(Step step) {
    try {
        step();
    } catch (const store::HistoryMismatch&) {
    } catch (const store::DataError&) {
    } catch (const store::FileError&) {
    }
}

void layOut(const Scratch& s, std::string_view input) {
    const std::string_view layout = fuzz::part(input, 0);
    const auto byte = [&](std::size_t n) {
        return n < layout.size() ? static_cast<unsigned char>(layout[n]) : 0;
    };
    const path h = s.history();
    if (byte(0) % 4 == 1 || byte(0) % 4 == 2)
        fs::remove_all(h); // what the real change made gives way
    switch (byte(0) % 4) {
    case 1:
        fs::create_directory_symlink(s.victim(), h);
        return;
    case 2:
        fuzz::writeFile(h, "not a folder");
        return;
    case 3:
        return; // none yet: the first change makes it
    default:
        fs::create_directories(h);
    }
    int manifests = 1;
    for (std::size_t at = 1; at + 2 < layout.size() && at < 1 + 3 * 16; at += 3) {
        const path entry = h / Names[byte(at) % std::size(Names)];
        const unsigned flags = byte(at + 2);
        std::error_code ec;
        if (fs::exists(fs::symlink_status(entry)) && !fs::is_directory(fs::symlink_status(entry)))
            continue;
        switch (byte(at + 1) % 7) {
        case 0:
            fs::create_directory_symlink(s.victim() / "0000000001", entry, ec);
            break;
        case 1:
            fs::create_symlink(s.victim() / "KontoData", entry, ec);
            break;
        case 2:
            fs::create_symlink(s.victim() / "made-through-a-link", entry, ec);
            break;
        case 3:
            if (!fs::exists(entry))
                fuzz::writeFile(entry, "x");
            break;
        case 4:
            if (!fs::exists(entry))
                ::mkfifo(entry.c_str(), 0600);
            break;
        case 5: {
            fs::create_directories(entry, ec);
            if (ec)
                break;
            fuzz::writeFile(entry / "manifest", fuzz::part(input, manifests++));
            for (const char* image : {"0-0", "0-1", "1-0", "1-1"})
                if (flags & 8)
                    fuzz::writeFile(entry / image, std::string(43, image[0]));
            if (flags & 1)
                fuzz::writeFile(entry / "undone", "");
            if (flags & 2)
                fuzz::writeFile(entry / "swap-0", "");
            if (flags & 4)
                fuzz::writeFile(entry / "swap-1", "");
            break;
        }
        default:
            fs::create_directories(entry, ec);
            for (const char* inside : Inside)
                if (!ec && (flags >> (inside[0] % 8)) & 1)
                    fs::create_symlink(s.victim() / "0000000001" / inside, entry / inside, ec);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    Scratch& s = scratch();
    s.reset();
    const store::DataPaths paths(s.drive());
    const bool realChange = !input.empty() && (static_cast<unsigned char>(input[0]) & 0x10);
    if (realChange) {
        store::History first(paths);
        first.activate();
        change(s.account() / "KontoData", std::string(86, 'a'));
    }
    layOut(s, input);
    const auto before = s.outside();

    {
        store::History history(paths);
        history.activate();
        tolerating([&] { history.recover(); });
        tolerating([&] { change(s.account() / "Transakt", std::string(72, 'b')); });
        for (int step = 0; step < 3; ++step)
            tolerating([&] {
                if (step % 2 == 0)
                    history.undo();
                else
                    history.redo();
            });
        if (input.size() % 2)
            history.discard();
    }
    FUZZ_REQUIRE(s.outside() == before);
    return 0;
}
