#include "store/HistoryParts.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace store {

using namespace history;

namespace {

int scopeDepth = 0;

// Files of the data root that are settings, not data: an undo never turns back a window place.
bool excluded(const fs::path& rel) {
    const std::string first = rel.begin()->string();
    return std::distance(rel.begin(), rel.end()) == 1 &&
           (first == "PosFil" || first == "KontoIni" || first.rfind('.', 0) == 0);
}

} // namespace

void History::open() {
    pending_.emplace(Pending{});
    if (viewProvider_)
        pending_->change.view[0] = viewProvider_();
}

void History::keep(const fs::path& path, bool folder) {
    if (!pending_ || pending_->broken || pending_->ignored)
        return;
    const fs::path abs = fs::absolute(path).lexically_normal();
    const fs::path rel = abs.lexically_relative(root_);
    if (rel.empty() || rel == "." || *rel.begin() == ".." || excluded(rel))
        return;
    Pending& p = *pending_;
    const auto known = [&](const std::string& r) {
        return std::any_of(p.change.items.begin(), p.change.items.end(),
                           [&](const Item& i) { return i.rel == r; });
    };
    try {
        if (!p.started) {
            const int top = folderFd(true);
            if (top < 0) {
                p.ignored = true; // no history here: the program works without undo
                return;
            }
            p.name = PendingPrefix + std::to_string(::getpid());
            removeOwnFolder(top, p.name);
            if (::mkdirat(top, p.name.c_str(), 0700) != 0)
                io::fail(errno, folder_ / p.name);
            p.dir = openFolderAt(top, p.name);
            if (!p.dir)
                io::fail(errno, folder_ / p.name);
            p.started = true;
        }
        // The folders on the way: a removed account folder comes back, a new one goes again.
        fs::path walked;
        for (auto part = rel.begin(); part != rel.end(); ++part) {
            walked /= *part;
            const bool last = std::next(part) == rel.end();
            if (last && !folder)
                break;
            if (known(walked.string()))
                continue;
            Item i;
            i.rel = walked.string();
            i.folder = true;
            i.present[0] = isFolder(root_ / walked);
            p.change.items.push_back(i);
        }
        if (folder || known(rel.string()))
            return;
        Item i;
        i.rel = rel.string();
        i.image = static_cast<unsigned>(p.change.items.size());
        bool other = false;
        if (const auto s = stampOf(abs, inodes_, &other)) {
            if (other || !makeRoom(p.kept + s->size, abs.parent_path())) {
                p.broken = true; // a link or a folder by a data file's name is not kept either
                return;
            }
            p.kept += s->size;
            const std::string name = imageName(0, i.image);
            keepFile(abs, p.dir.get(), folder_ / p.name, name);
            const auto kept = statAt(p.dir.get(), name);
            if (!kept)
                io::fail(errno, folder_ / p.name / name);
            i.present[0] = true;
            i.stamp[0] = stampFrom(*kept, inodes_);
        }
        p.change.items.push_back(i);
    } catch (const FileError& e) {
        p.broken = true;
        if (permissionError(e.code().value()))
            unavailable_ = cannotWrite(folder_, e.code().value());
    } catch (...) {
        p.broken = true;
    }
}

void History::close() noexcept {
    std::optional<Pending> taken = std::move(pending_);
    pending_.reset();
    if (!taken)
        return;
    const BusyScope busy{busy_};
    Pending& p = *taken;
    const auto removePending = [&] {
        p.dir.close();
        if (p.started && dir_)
            removeOwnFolder(dir_.get(), p.name);
    };
    if (p.broken) {
        // A change that could not be recorded cannot be undone, nor anything before it.
        try {
            removePending();
            dropAll();
        } catch (...) {
            changes_.clear();
        }
        if (unavailable_) {
            finishSweep();
            dir_.close();
        }
        if (changed_)
            changed_();
        return;
    }
    if (!p.started || p.ignored) {
        removePending();
        return;
    }
    try {
        Change& c = p.change;
        std::vector<Item> changed;
        for (Item& i : c.items) {
            const fs::path path = root_ / i.rel;
            if (i.folder) {
                i.present[1] = isFolder(path);
            } else if (const auto s = stampOf(path, inodes_)) {
                i.present[1] = true;
                i.stamp[1] = *s;
            }
            if (i.present[0] != i.present[1] || (!i.folder && i.present[0] && i.stamp[0] != i.stamp[1]))
                changed.push_back(i);
            else if (!i.folder && i.present[0])
                ::unlinkat(p.dir.get(), imageName(0, i.image).c_str(), 0);
        }
        if (changed.empty()) {
            removePending();
            return;
        }
        c.items = std::move(changed);
        c.live = 1;
        if (c.description.empty())
            c.description = "ändring";
        if (viewProvider_)
            c.view[1] = viewProvider_();
        // Written without a sync: a change costs the user's commit nothing it could feel. A crash
        // within the seconds before the system writes it back loses this step of the history
        // only; what is lost or torn then is found at the next start or by the checks of an undo.
        {
            io::UniqueFd fd(::openat(p.dir.get(), ManifestName.c_str(),
                                     O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
            if (!fd)
                io::fail(errno, folder_ / p.name / ManifestName);
            if (const int err = io::writeAll(fd.get(), encode(c)))
                io::fail(err, folder_ / p.name / ManifestName);
            if (const int err = fd.close())
                io::fail(err, folder_ / p.name / ManifestName);
        }
        // A new change ends what could be redone.
        std::vector<unsigned> redone;
        while (!changes_.empty() && changes_.back().live == 0) {
            redone.push_back(changes_.back().seq);
            changes_.pop_back();
        }
        dropFolders(redone);
        c.seq = changes_.empty() ? 1 : changes_.back().seq + 1;
        // A name held by something the history did not write is passed over.
        for (int tries = 0; tries < 100; ++tries, ++c.seq) {
            removeOwnFolder(dir_.get(), changeName(c.seq));
            if (!statAt(dir_.get(), changeName(c.seq)))
                break;
        }
        p.dir.close();
        if (::renameat(dir_.get(), p.name.c_str(), dir_.get(), changeName(c.seq).c_str()) != 0)
            io::fail(errno, folder_ / changeName(c.seq));
        changes_.push_back(std::move(c));
        prune();
        if (changed_)
            changed_();
    } catch (...) {
        // Not recorded: the data is saved all the same, and nothing before it can be undone.
        try {
            removePending();
            dropAll();
        } catch (...) {
            changes_.clear();
        }
        if (changed_)
            changed_();
    }
}

ChangeScope::ChangeScope() {
    // The history's own files (manifests, markers) are written through the same commit, which
    // opens a scope of its own: that is no change.
    if (scopeDepth++ == 0 && activeHistory && !activeHistory->busy_) {
        history_ = activeHistory;
        history_->open();
    }
}

ChangeScope::~ChangeScope() {
    --scopeDepth;
    if (history_ && history_ == activeHistory)
        history_->close();
}

void describeChange(std::string description) {
    if (activeHistory && activeHistory->pending_)
        activeHistory->pending_->change.description = std::move(description);
}

void keepBeforeImage(const fs::path& path, bool folder) {
    if (activeHistory && scopeDepth > 0)
        activeHistory->keep(path, folder);
}

} // namespace store
