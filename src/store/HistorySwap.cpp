#include "store/HistoryParts.h"

#include "store/RecordFile.h"

#include <algorithm>
#include <cerrno>

#include <unistd.h>

namespace fs = std::filesystem;

namespace store {

using namespace history;

ChangeView History::undo() {
    auto it = std::find_if(changes_.rbegin(), changes_.rend(), [](const Change& c) { return c.live == 1; });
    if (it == changes_.rend())
        return {};
    swap(*it, 0);
    ChangeView view = it->view[0];
    // The view returns to the changed post where the account stays the same.
    if (view.account == it->view[1].account)
        view.post = it->view[1].post;
    return view;
}

ChangeView History::redo() {
    auto it = std::find_if(changes_.begin(), changes_.end(), [](const Change& c) { return c.live == 0; });
    if (it == changes_.end())
        return {};
    swap(*it, 1);
    return it->view[1];
}

// Only what this program wrote is ever applied: plain names below the data root (links
// resolved), files exactly as the change left them, images as they were kept.
void History::validate(const Change& change, int side, bool midSwap, int dir) const {
    const int live = 1 - side;
    const fs::path realRoot = resolvedPath(root_);
    for (const Item& i : change.items) {
        if (!plainRelative(i.rel))
            throw HistoryMismatch("Ångrahistoriken nämner en fil utanför datamappen: " + i.rel);
        const fs::path path = root_ / i.rel;
        if (!isWithin(resolvedPath(path), realRoot) || !isWithin(resolvedPath(path.parent_path()), realRoot))
            throw HistoryMismatch("Ångrahistoriken nämner en fil utanför datamappen: " + i.rel);
        const auto mismatch = [&] {
            throw HistoryMismatch("Filen " + path.string() + " stämmer inte med ångrahistoriken");
        };
        bool other = false;
        const std::optional<Stamp> now = stampOf(path, inodes_, &other);
        if (i.folder) {
            if (now && !isFolder(path))
                mismatch();
            if (!midSwap && now.has_value() != i.present[live])
                mismatch();
            continue;
        }
        if (now && other)
            mismatch();
        // An empty file where none was is what opening a missing file leaves; it is no change.
        const auto matches = [&](int s) {
            return i.present[s] ? now && *now == i.stamp[s] : !now || now->size == 0;
        };
        // A copy put in place across file systems carries the image's size and time; while its
        // image is still there it must hold the same bytes.
        const auto copied = [&] {
            if (!i.present[side] || !now || now->size != i.stamp[side].size)
                return false;
            std::string mine, theirs;
            if (readAt(dir, imageName(side, i.image), mine, now->size) == 0)
                return io::tryReadWholeFile(path, theirs) == 0 && mine == theirs;
            return now->mtimeNs == i.stamp[side].mtimeNs;
        };
        if (!matches(live) && !(midSwap && (matches(side) || copied())))
            mismatch();
        if (!midSwap && i.present[side]) {
            const auto kept = statAt(dir, imageName(side, i.image));
            if (!kept || !S_ISREG(kept->st_mode) || stampFrom(*kept, inodes_) != i.stamp[side])
                mismatch();
        }
    }
}

// Puts the files of one side in place, keeping the others as the images of the other side: first
// every link (one sync makes them and the marker durable), then every rename (one sync per
// folder). Each step can be repeated after a crash or run the other way after a failure.
void History::applySide(const Change& change, int side, int dir) const {
    const int live = 1 - side;
    const auto done = [&](const Item& i) {
        return i.folder ||
               (i.present[side] ? !imageAt(dir, imageName(side, i.image)) : !onDisk(root_ / i.rel));
    };
    for (const Item& i : change.items) {
        const fs::path path = root_ / i.rel;
        const std::string theirs = imageName(live, i.image);
        if (done(i) || !i.present[live] || !onDisk(path) || imageAt(dir, theirs))
            continue;
        commitFaultPoint(CommitStep::Write, path);
        keepFile(path, dir, folder_, theirs);
    }
    syncAt(dir, folder_);

    std::vector<const Item*> folders;
    for (const Item& i : change.items)
        if (i.folder && i.present[side] && !i.present[live])
            folders.push_back(&i);
    std::sort(folders.begin(), folders.end(),
              [](const Item* a, const Item* b) { return a->rel.size() < b->rel.size(); });
    for (const Item* i : folders) {
        const fs::path path = root_ / i->rel;
        if (::mkdir(path.c_str(), 0777) != 0 && errno != EEXIST)
            io::fail(errno, path);
        io::syncFolder(path.parent_path());
    }
    std::vector<fs::path> touched;
    for (const Item& i : change.items) {
        if (done(i))
            continue;
        const fs::path path = root_ / i.rel;
        const std::string mine = imageName(side, i.image);
        commitFaultPoint(CommitStep::Rename, path);
        if (!i.present[side]) {
            if (::unlink(path.c_str()) != 0 && errno != ENOENT)
                io::fail(errno, path);
        } else if (sameFile(dir, mine, path)) {
            // Already in place (a failed step turned back): only the second name goes.
            ::unlinkat(dir, mine.c_str(), 0);
        } else {
            placeImage(dir, folder_, mine, path);
        }
        if (std::find(touched.begin(), touched.end(), path.parent_path()) == touched.end())
            touched.push_back(path.parent_path());
    }
    for (const fs::path& f : touched)
        io::syncFolder(f);
    folders.clear();
    for (const Item& i : change.items)
        if (i.folder && i.present[live] && !i.present[side])
            folders.push_back(&i);
    std::sort(folders.begin(), folders.end(),
              [](const Item* a, const Item* b) { return a->rel.size() > b->rel.size(); });
    for (const Item* i : folders) {
        const fs::path path = root_ / i->rel;
        // A folder that holds something the change did not make stays.
        if (::rmdir(path.c_str()) == 0)
            io::syncFolder(path.parent_path(), std::nothrow);
    }
}

// The side a change's files hold is told by a flag file, so a step that could link every image
// leaves the manifest as it was written; where a file had to be copied, its new stamp is written.
void History::finishSwap(Change& change, int side, int dir) {
    applySide(change, side, dir);
    const int live = 1 - side;
    bool restamped = false;
    for (Item& i : change.items) {
        if (i.folder)
            continue;
        std::optional<Stamp> s;
        if (i.present[live])
            if (const auto st = statAt(dir, imageName(live, i.image)))
                s = stampFrom(*st, inodes_);
        if (s && *s != i.stamp[live]) {
            i.stamp[live] = *s;
            restamped = true;
        }
        if (i.present[side])
            if (const auto now = stampOf(root_ / i.rel, inodes_); now && *now != i.stamp[side]) {
                i.stamp[side] = *now;
                restamped = true;
            }
    }
    change.live = side;
    if (restamped)
        writeManifest(change, dir);
    if (side == 0)
        flagAt(dir, folder_, UndoneName);
    else
        unlinkAt(dir, folder_, UndoneName);
    unlinkAt(dir, folder_, markerName(side));
    syncAt(dir, folder_);
}

void History::swap(Change& change, int side) {
    const BusyScope busy{busy_};
    // What the same procedure writes around an undo (the account read in again) is no change of
    // its own: recording it would end what can be redone.
    if (pending_)
        pending_->ignored = true;
    const io::UniqueFd dir = dir_ ? openFolderAt(dir_.get(), changeName(change.seq)) : io::UniqueFd();
    try {
        if (!dir)
            throw HistoryMismatch("Ångrahistoriken saknar ändringen " + changeName(change.seq));
        validate(change, side, false, dir.get());
    } catch (const HistoryMismatch&) {
        discard();
        throw;
    }
    // Made durable together with the links, before any data file moves.
    flagAt(dir.get(), folder_, markerName(side));
    try {
        applySide(change, side, dir.get());
    } catch (...) {
        try {
            applySide(change, 1 - side, dir.get());
            ::unlinkat(dir.get(), markerName(side).c_str(), 0);
            io::fsyncRetry(dir.get());
        } catch (...) {
            // The marker stays: the next start finishes the swap, so the files are never left between.
        }
        throw;
    }
    finishSwap(change, side, dir.get());
    if (changed_)
        changed_();
}

} // namespace store
