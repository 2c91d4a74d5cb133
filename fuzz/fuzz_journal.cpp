// Random bytes as the journal of an interrupted group commit, recovered as every start-up does:
// the manifest first, then the journalled originals copy-0, copy-1, ..., separated by lines "##".
// The manifest names absolute paths; "/tmp/moniva-fuzz-journal-00000000" in it stands for this
// run's scratch folder (the same length, so the length fields stay right). A tenth part, when there
// is one, lays links and other strangers into the drive folder by the bits of its first byte:
//   1 the journal itself is a link to a folder outside holding the manifest and the copies;
//   2 the manifest is a link to a file outside holding it;
//   4 copy-0 is a link to a file outside;
//   8 copy-7 is a folder with a file in it, copy-8 a FIFO;
//  16 .manifest.tmp-1 is a link to a file outside, copy-6 a link to nowhere.
//
// Recovery overwrites and deletes what the manifest names, so it runs only in a scratch folder
// made for this process, never as root, and every run checks that nothing beside the data root
// changed: a sentinel file, a folder the data root links to, the lock file beside the data root,
// whatever the links lead to. Nothing but the journal's own regular files may go from it, a journal
// that is a link or holds its manifest as one is refused, and a FIFO never makes it wait. A damaged
// journal must end in store::DataError or store::FileError with the manifest left as it was; a
// recovery that succeeds removes the manifest.

#include "FuzzFiles.h"

#include "store/GroupCommit.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include <sys/stat.h>

namespace {

using fuzz::fs::path;

constexpr std::string_view Placeholder = "/tmp/moniva-fuzz-journal-00000000";

// Everything under the folder (bytes of files, targets of links), the data root and the journal
// left out: what recovery may never change.
std::map<std::string, std::string> outsideState(const path& top, const path& dataRoot, const path& journal) {
    std::map<std::string, std::string> all;
    std::error_code ec;
    for (auto it = fuzz::fs::recursive_directory_iterator(top, ec); !ec && it != decltype(it)();
         it.increment(ec)) {
        const path p = it->path();
        if (p == dataRoot || p == journal) {
            it.disable_recursion_pending();
            continue;
        }
        const std::string key = p.lexically_relative(top).string();
        if (it->is_symlink())
            all[key] = "<link>" + fuzz::fs::read_symlink(p).string();
        else if (it->is_directory())
            all[key] = "<folder>";
        else if (it->is_regular_file())
            all[key] = fuzz::readFile(p);
        else // a FIFO is never opened: that would wait
            all[key] = "<other>";
    }
    FUZZ_REQUIRE(!ec);
    return all;
}

class Scratch {
public:
    Scratch() {
        // Recovery runs with the rights of this process: as root a fault could reach any file.
        FUZZ_REQUIRE(::geteuid() != 0);
        const bool shm = ::access("/dev/shm", W_OK) == 0;
        // Both prefixes as long as the placeholder's.
        std::string name = shm ? "/dev/shm/moniva-fuzz-jrn-" : "/tmp/moniva-fuzz-journal-";
        const std::string pid = std::to_string(::getpid());
        name += std::string(8 - std::min<std::size_t>(8, pid.size()), '0') + pid.substr(0, 8);
        FUZZ_REQUIRE(name.size() == Placeholder.size());
        top_ = name;
        std::error_code ec;
        fuzz::fs::remove_all(top_, ec);
        fuzz::fs::create_directories(top_ / "outside");
        fuzz::writeFile(top_ / "sentinel", "Denna fil f\xE5r aldrig \xE4ndras");
        fuzz::writeFile(top_ / "outside" / "KontoData", std::string(43, 'x'));
    }
    ~Scratch() {
        std::error_code ec;
        fuzz::fs::remove_all(top_, ec);
    }

    path drive() const { return top_ / "drive"; }
    path dataRoot() const { return drive() / "MoniData"; }
    path journal() const { return drive() / ".MoniData.journal"; }
    const path& top() const { return top_; }

    path outside() const { return top_ / "outside"; }

    // A fresh data root with an account, a link out of it and a journal, which is a link to a
    // folder outside when journalIsLink.
    void reset(bool journalIsLink) {
        fuzz::fs::remove_all(drive());
        fuzz::fs::remove_all(outside() / "jr");
        fuzz::fs::create_directories(dataRoot() / "Hush\xC3\xA5ll");
        if (journalIsLink) {
            fuzz::fs::create_directories(outside() / "jr");
            fuzz::fs::create_directory_symlink(outside() / "jr", journal());
        } else {
            fuzz::fs::create_directories(journal());
        }
        fuzz::writeFile(drive() / ".MoniData.lock", "4711");
        fuzz::writeFile(dataRoot() / "KontoFil", std::string(82, ' '));
        fuzz::writeFile(dataRoot() / "Hush\xC3\xA5ll" / "KontoData", std::string(43, ' '));
        fuzz::fs::create_directory_symlink(outside(), dataRoot() / "ut");
    }
    // Taken once the run's files are laid out, since the links' targets hold the run's bytes.
    void takeOutside() { outside_ = outsideState(top_, dataRoot(), journal()); }
    bool outsideUnchanged() const { return outsideState(top_, dataRoot(), journal()) == outside_; }

private:
    path top_;
    std::map<std::string, std::string> outside_;
};

// The kind of a name as lstat sees it; 0 when there is none.
mode_t kindOf(const path& p) {
    struct stat st {};
    return ::lstat(p.c_str(), &st) == 0 ? st.st_mode & S_IFMT : 0;
}

Scratch& scratch() {
    static Scratch s;
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string_view layoutPart = fuzz::part(input, 9);
    const unsigned layout = layoutPart.empty() ? 0u : static_cast<unsigned char>(layoutPart[0]);
    const bool journalIsLink = layout & 1, manifestIsLink = layout & 2;
    Scratch& s = scratch();
    s.reset(journalIsLink);

    std::string manifest(fuzz::part(input, 0));
    const std::string top = s.top().string();
    for (std::size_t at = manifest.find(Placeholder); at != std::string::npos;
         at = manifest.find(Placeholder, at + Placeholder.size()))
        manifest.replace(at, Placeholder.size(), top);
    if (manifestIsLink) {
        fuzz::writeFile(s.outside() / "manifest", manifest);
        fuzz::fs::create_symlink(s.outside() / "manifest", s.journal() / "manifest");
    } else {
        fuzz::writeFile(s.journal() / "manifest", manifest);
    }
    for (int n = 1; n < std::min(fuzz::partCount(input), 9); ++n)
        fuzz::writeFile(s.journal() / ("copy-" + std::to_string(n - 1)), fuzz::part(input, n));

    // Strangers laid into the journal (through the link, when it is one, they land outside).
    std::vector<std::pair<path, mode_t>> strangers;
    const auto stranger = [&](const char* name) {
        strangers.emplace_back(s.journal() / name, kindOf(s.journal() / name));
    };
    if (layout & 4) {
        fuzz::fs::remove(s.journal() / "copy-0");
        fuzz::fs::create_symlink(s.outside() / "KontoData", s.journal() / "copy-0");
        stranger("copy-0");
    }
    if (layout & 8) {
        fuzz::fs::remove(s.journal() / "copy-7");
        fuzz::fs::remove(s.journal() / "copy-8");
        fuzz::fs::create_directories(s.journal() / "copy-7");
        fuzz::writeFile(s.journal() / "copy-7" / "copy-0", "inside");
        FUZZ_REQUIRE(::mkfifo((s.journal() / "copy-8").c_str(), 0600) == 0);
        stranger("copy-7");
        stranger("copy-8");
    }
    if (layout & 16) {
        fuzz::fs::remove(s.journal() / "copy-6");
        fuzz::fs::create_symlink(s.outside() / "KontoData", s.journal() / ".manifest.tmp-1");
        fuzz::fs::create_symlink(s.top() / "nowhere", s.journal() / "copy-6");
        stranger(".manifest.tmp-1");
        stranger("copy-6");
    }
    s.takeOutside();

    bool recovered = false;
    bool failed = true;
    fuzz::allowingDataErrors([&] {
        recovered = store::recoverGroupCommit(s.journal());
        failed = false;
    });
    FUZZ_REQUIRE(s.outsideUnchanged());
    if (journalIsLink)
        FUZZ_REQUIRE(kindOf(s.journal()) == S_IFLNK);
    else
        for (const auto& [name, kind] : strangers)
            FUZZ_REQUIRE(kindOf(name) == kind);
    if (journalIsLink || manifestIsLink)
        FUZZ_REQUIRE(failed);
    else if (failed) // left for inspection
        FUZZ_REQUIRE(fuzz::readFile(s.journal() / "manifest") == manifest);
    else
        FUZZ_REQUIRE(recovered && !fuzz::fs::exists(s.journal() / "manifest"));
    return 0;
}
