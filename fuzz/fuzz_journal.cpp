// Random bytes as the journal of an interrupted group commit, recovered as every start-up does:
// the manifest first, then the journalled originals copy-0, copy-1, ..., separated by lines "##".
// The manifest names absolute paths; "/tmp/moniva-fuzz-journal-00000000" in it stands for this
// run's scratch folder (the same length, so the length fields stay right).
//
// Recovery overwrites and deletes what the manifest names, so it runs only in a scratch folder
// made for this process, never as root, and every run checks that nothing beside the data root
// changed: a sentinel file, a folder the data root links to, the lock file beside the data root.
// A damaged journal must end in store::DataError or store::FileError with the manifest left as it
// was; a recovery that succeeds removes the manifest.

#include "FuzzFiles.h"

#include "store/GroupCommit.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

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
        else
            all[key] = fuzz::readFile(p);
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

    // A fresh data root with an account, a link out of it and a journal; the state outside taken
    // once, when it is first made.
    void reset() {
        fuzz::fs::remove_all(drive());
        fuzz::fs::create_directories(dataRoot() / "Hush\xC3\xA5ll");
        fuzz::fs::create_directories(journal());
        fuzz::writeFile(drive() / ".MoniData.lock", "4711");
        fuzz::writeFile(dataRoot() / "KontoFil", std::string(82, ' '));
        fuzz::writeFile(dataRoot() / "Hush\xC3\xA5ll" / "KontoData", std::string(43, ' '));
        fuzz::fs::create_directory_symlink(top_ / "outside", dataRoot() / "ut");
        if (outside_.empty())
            outside_ = outsideState(top_, dataRoot(), journal());
    }
    bool outsideUnchanged() const { return outsideState(top_, dataRoot(), journal()) == outside_; }

private:
    path top_;
    std::map<std::string, std::string> outside_;
};

Scratch& scratch() {
    static Scratch s;
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    Scratch& s = scratch();
    s.reset();

    std::string manifest(fuzz::part(input, 0));
    const std::string top = s.top().string();
    for (std::size_t at = manifest.find(Placeholder); at != std::string::npos;
         at = manifest.find(Placeholder, at + Placeholder.size()))
        manifest.replace(at, Placeholder.size(), top);
    fuzz::writeFile(s.journal() / "manifest", manifest);
    for (int n = 1; n < std::min(fuzz::partCount(input), 9); ++n)
        fuzz::writeFile(s.journal() / ("copy-" + std::to_string(n - 1)), fuzz::part(input, n));

    bool recovered = false;
    bool failed = true;
    fuzz::allowingDataErrors([&] {
        recovered = store::recoverGroupCommit(s.journal());
        failed = false;
    });
    FUZZ_REQUIRE(s.outsideUnchanged());
    if (failed) // left for inspection
        FUZZ_REQUIRE(fuzz::readFile(s.journal() / "manifest") == manifest);
    else
        FUZZ_REQUIRE(recovered && !fuzz::fs::exists(s.journal() / "manifest"));
    return 0;
}
