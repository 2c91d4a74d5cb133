#include "store/History.h"

#include "store/ByteForm.h"
#include "store/FileIo.h"
#include "store/RecordFile.h"

#include <algorithm>
#include <cerrno>
#include <string_view>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace store {

namespace {

History* activeHistory = nullptr;
int scopeDepth = 0;

const char* const ManifestName = "manifest";
const char* const SwapName = "swap";
const char* const UndoneName = "undone";
const std::string PendingPrefix = "pending-";
const std::string DropPrefix = "drop-";
const std::string Magic = "MONIVA-HISTORY-1";

// Files of the data root that are settings, not data: an undo never turns back a window place.
bool excluded(const fs::path& rel) {
    const std::string first = rel.begin()->string();
    return std::distance(rel.begin(), rel.end()) == 1 &&
           (first == "PosFil" || first == "KontoIni" || first.rfind('.', 0) == 0);
}

// FAT file systems (the usual USB stick) number their files anew at every mount: there only size
// and modification time tell a file.
bool stableInodes(const fs::path& folder) {
    struct statfs fs {};
    if (::statfs(folder.c_str(), &fs) != 0)
        return true;
    constexpr long Msdos = 0x4d44, Exfat = 0x2011BAB0;
    return fs.f_type != Msdos && fs.f_type != Exfat;
}

std::optional<History::Stamp> stampOf(const fs::path& path, bool inodes, bool* other = nullptr) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return std::nullopt;
    if (other)
        *other = !S_ISREG(st.st_mode);
    return History::Stamp{inodes ? static_cast<std::uint64_t>(st.st_ino) : 0,
                          static_cast<std::uint64_t>(st.st_size),
                          static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

bool onDisk(const fs::path& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

bool isFolder(const fs::path& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool sameFile(const fs::path& a, const fs::path& b) {
    struct stat sa {
    }, sb{};
    return ::lstat(a.c_str(), &sa) == 0 && ::lstat(b.c_str(), &sb) == 0 && sa.st_ino == sb.st_ino &&
           sa.st_dev == sb.st_dev;
}

fs::path image(const fs::path& dir, int side, unsigned n) {
    return dir / (std::to_string(side) + "-" + std::to_string(n));
}

// Present while the files are being swapped to that side: the next start finishes the swap.
fs::path marker(const fs::path& dir, int side) {
    return dir / (std::string(SwapName) + "-" + std::to_string(side));
}

// The old content stays where it is under a second name; only where the file system cannot link
// (another file system, no links at all) is it copied.
void keepFile(const fs::path& file, const fs::path& to) {
    if (::link(file.c_str(), to.c_str()) == 0)
        return;
    const int err = errno;
    if (err != EXDEV && err != EPERM && err != EMLINK && err != ENOTSUP && err != EOPNOTSUPP && err != ENOSYS)
        io::fail(err, to);
    replaceFileAtomically(to, readWholeFile(file));
}

[[noreturn]] void damaged() {
    throw HistoryMismatch("Ångrahistoriken är skadad");
}

std::string encode(const History::Change& c) {
    std::string out = Magic;
    putNumber(out, static_cast<std::uint64_t>(c.live));
    putText(out, c.description);
    for (const ChangeView& v : c.view) {
        putText(out, v.account);
        putNumber(out, static_cast<std::uint64_t>(std::max(v.post, 0)));
    }
    putNumber(out, c.items.size());
    for (const History::Item& i : c.items) {
        putText(out, i.rel);
        putNumber(out, (i.folder ? 1 : 0) | (i.present[0] ? 2 : 0) | (i.present[1] ? 4 : 0));
        putNumber(out, i.image);
        for (const History::Stamp& s : i.stamp) {
            putNumber(out, s.inode);
            putNumber(out, s.size);
            putNumber(out, static_cast<std::uint64_t>(s.mtimeNs));
        }
    }
    return out;
}

History::Change decode(std::string_view data, unsigned seq) {
    ByteReader in(data, damaged);
    if (in.take(Magic.size()) != Magic)
        damaged();
    History::Change c;
    c.seq = seq;
    const std::uint64_t live = in.number();
    if (live > 1)
        damaged();
    c.live = static_cast<int>(live);
    c.description = std::string(in.text());
    for (ChangeView& v : c.view) {
        v.account = std::string(in.text());
        v.post = static_cast<int>(std::min<std::uint64_t>(in.number(), 1u << 30));
    }
    const std::uint64_t count = in.number();
    if (count > 100000)
        damaged();
    for (std::uint64_t n = 0; n < count; ++n) {
        History::Item i;
        i.rel = std::string(in.text());
        const std::uint64_t flags = in.number();
        i.folder = flags & 1;
        i.present[0] = flags & 2;
        i.present[1] = flags & 4;
        i.image = static_cast<unsigned>(std::min<std::uint64_t>(in.number(), 1u << 30));
        for (History::Stamp& s : i.stamp) {
            s.inode = in.number();
            s.size = in.number();
            s.mtimeNs = static_cast<std::int64_t>(in.number());
        }
        c.items.push_back(std::move(i));
    }
    if (!in.atEnd())
        damaged();
    return c;
}

// A relative path of plain names: nothing in a manifest can lead above the data root by itself.
bool plainRelative(const std::string& rel) {
    const fs::path p(rel);
    if (rel.empty() || p.is_absolute() || rel.find('\0') != std::string::npos)
        return false;
    for (const fs::path& part : p)
        if (part.empty() || part == "." || part == "..")
            return false;
    return true;
}

void removeTree(const fs::path& dir) {
    std::error_code ec;
    fs::remove_all(dir, ec);
}

} // namespace

History::History(DataPaths paths)
    : paths_(std::move(paths)), folder_(fs::absolute(paths_.historyFolder()).lexically_normal()),
      root_(fs::absolute(paths_.dataRoot()).lexically_normal()), inodes_(stableInodes(paths_.driveFolder())) {
}

History::~History() {
    if (activeHistory == this)
        activeHistory = nullptr;
    finishSweep();
}

void History::finishSweep() {
    if (sweeper_.joinable())
        sweeper_.join();
}

void History::activate() {
    activeHistory = this;
}

void History::deactivate() {
    if (activeHistory == this)
        activeHistory = nullptr;
}

fs::path History::changeFolder(unsigned seq) const {
    std::string name = std::to_string(seq);
    return folder_ / (std::string(10 - std::min<std::size_t>(name.size(), 10), '0') + name);
}

void History::recover() {
    finishSweep();
    changes_.clear();
    std::error_code ec;
    std::vector<std::pair<unsigned, fs::path>> found;
    for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.rfind(PendingPrefix, 0) == 0 || name.rfind(DropPrefix, 0) == 0) {
            // A change whose procedure never ended (a crash): its files are as they were left.
            removeTree(it->path());
            continue;
        }
        if (name.size() != 10 || name.find_first_not_of("0123456789") != std::string::npos ||
            !isFolder(it->path()))
            continue;
        found.emplace_back(static_cast<unsigned>(std::stoul(name)), it->path());
    }
    std::sort(found.begin(), found.end());
    try {
        for (const auto& [seq, dir] : found) {
            std::string data;
            std::optional<Change> change;
            if (io::tryReadWholeFile(dir / ManifestName, data) == 0) {
                try {
                    change = decode(data, seq);
                } catch (const HistoryMismatch&) {
                    // Torn by a crash before it was written back: this step is lost, the others
                    // are checked file by file before they are ever applied.
                }
            }
            if (!change) {
                removeTree(dir);
                continue;
            }
            changes_.push_back(std::move(*change));
        }
        for (std::size_t n = 0; n < changes_.size(); ++n) {
            Change& c = changes_[n];
            const fs::path dir = changeFolder(c.seq);
            c.live = onDisk(dir / UndoneName) ? 0 : 1;
            for (const int side : {0, 1})
                if (onDisk(marker(dir, side))) {
                    validate(c, side, true);
                    finishSwap(c, side, dir);
                    break;
                }
            // Done changes lie below undone ones; anything else was not written by this program.
            if (n > 0 && c.live == 1 && changes_[n - 1].live == 0)
                damaged();
        }
    } catch (const HistoryMismatch&) {
        discard();
        throw;
    }
}

std::optional<std::string> History::undoDescription() const {
    for (auto it = changes_.rbegin(); it != changes_.rend(); ++it)
        if (it->live == 1)
            return it->description;
    return std::nullopt;
}

std::optional<std::string> History::redoDescription() const {
    for (const Change& c : changes_)
        if (c.live == 0)
            return c.description;
    return std::nullopt;
}

std::size_t History::undoCount() const {
    return static_cast<std::size_t>(
        std::count_if(changes_.begin(), changes_.end(), [](const Change& c) { return c.live == 1; }));
}

std::size_t History::redoCount() const {
    return changes_.size() - undoCount();
}

void History::discard() {
    finishSweep();
    changes_.clear();
    removeTree(folder_);
    if (changed_)
        changed_();
}

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
void History::validate(const Change& change, int side, bool midSwap) const {
    const int live = 1 - side;
    const fs::path dir = changeFolder(change.seq);
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
        if (!matches(live) && !(midSwap && matches(side)))
            mismatch();
        if (!midSwap && i.present[side]) {
            const std::optional<Stamp> kept = stampOf(image(dir, side, i.image), inodes_, &other);
            if (!kept || other || *kept != i.stamp[side])
                mismatch();
        }
    }
}

// Puts the files of one side in place, keeping the others as the images of the other side: first
// every link (one sync makes them and the marker durable), then every rename (one sync per
// folder). Each step can be repeated after a crash or run the other way after a failure.
static void applySide(const History::Change& change, int side, const fs::path& dir, const fs::path& root) {
    const int live = 1 - side;
    const auto done = [&](const History::Item& i) {
        return i.folder || (i.present[side] ? !onDisk(image(dir, side, i.image)) : !onDisk(root / i.rel));
    };
    for (const History::Item& i : change.items) {
        const fs::path path = root / i.rel;
        const fs::path theirs = image(dir, live, i.image);
        if (done(i) || !i.present[live] || !onDisk(path) || onDisk(theirs))
            continue;
        commitFaultPoint(CommitStep::Write, path);
        keepFile(path, theirs);
    }
    io::syncFolder(dir);

    std::vector<const History::Item*> folders;
    for (const History::Item& i : change.items)
        if (i.folder && i.present[side] && !i.present[live])
            folders.push_back(&i);
    std::sort(folders.begin(), folders.end(),
              [](const History::Item* a, const History::Item* b) { return a->rel.size() < b->rel.size(); });
    for (const History::Item* i : folders) {
        const fs::path path = root / i->rel;
        if (::mkdir(path.c_str(), 0777) != 0 && errno != EEXIST)
            io::fail(errno, path);
        io::syncFolder(path.parent_path());
    }
    std::vector<fs::path> touched;
    for (const History::Item& i : change.items) {
        if (done(i))
            continue;
        const fs::path path = root / i.rel;
        const fs::path mine = image(dir, side, i.image);
        commitFaultPoint(CommitStep::Rename, path);
        if (!i.present[side]) {
            if (::unlink(path.c_str()) != 0 && errno != ENOENT)
                io::fail(errno, path);
        } else if (sameFile(mine, path)) {
            // Already in place (a failed step turned back): only the second name goes.
            ::unlink(mine.c_str());
        } else if (::rename(mine.c_str(), path.c_str()) != 0) {
            io::fail(errno, path);
        }
        if (std::find(touched.begin(), touched.end(), path.parent_path()) == touched.end())
            touched.push_back(path.parent_path());
    }
    for (const fs::path& f : touched)
        io::syncFolder(f);
    folders.clear();
    for (const History::Item& i : change.items)
        if (i.folder && i.present[live] && !i.present[side])
            folders.push_back(&i);
    std::sort(folders.begin(), folders.end(),
              [](const History::Item* a, const History::Item* b) { return a->rel.size() > b->rel.size(); });
    for (const History::Item* i : folders) {
        const fs::path path = root / i->rel;
        // A folder that holds something the change did not make stays.
        if (::rmdir(path.c_str()) == 0)
            io::syncFolder(path.parent_path(), std::nothrow);
    }
}

// The side a change's files hold is told by a flag file, so a step that could link every image
// leaves the manifest as it was written.
void History::finishSwap(Change& change, int side, const fs::path& dir) {
    applySide(change, side, dir, root_);
    const int live = 1 - side;
    bool restamped = false;
    for (Item& i : change.items)
        if (!i.folder && i.present[live])
            if (const auto s = stampOf(image(dir, live, i.image), inodes_); s && *s != i.stamp[live]) {
                i.stamp[live] = *s; // a copy where no link could be made
                restamped = true;
            }
    change.live = side;
    if (restamped)
        writeManifest(change, dir);
    const fs::path undone = dir / UndoneName;
    if (side == 0) {
        io::UniqueFd fd(io::openRetry(undone.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666));
        if (!fd)
            io::fail(errno, undone);
    } else if (::unlink(undone.c_str()) != 0 && errno != ENOENT) {
        io::fail(errno, undone);
    }
    if (::unlink(marker(dir, side).c_str()) != 0 && errno != ENOENT)
        io::fail(errno, marker(dir, side));
    io::syncFolder(dir);
}

void History::swap(Change& change, int side) {
    busy_ = true;
    struct Done {
        bool& busy;
        ~Done() { busy = false; }
    } done{busy_};
    // What the same procedure writes around an undo (the account read in again) is no change of
    // its own: recording it would end what can be redone.
    if (pending_)
        pending_->broken = true;
    try {
        validate(change, side, false);
    } catch (const HistoryMismatch&) {
        discard();
        throw;
    }
    const fs::path dir = changeFolder(change.seq);
    {
        // Made durable together with the links, before any data file moves.
        io::UniqueFd fd(io::openRetry(marker(dir, side).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666));
        if (!fd)
            io::fail(errno, marker(dir, side));
    }
    try {
        applySide(change, side, dir, root_);
    } catch (...) {
        try {
            applySide(change, 1 - side, dir, root_);
            ::unlink(marker(dir, side).c_str());
            io::syncFolder(dir, std::nothrow);
        } catch (...) {
            // The marker stays: the next start finishes the swap, so the files are never left between.
        }
        throw;
    }
    finishSwap(change, side, dir);
    if (changed_)
        changed_();
}

void History::writeManifest(const Change& change, const fs::path& dir) const {
    replaceFileAtomically(dir / ManifestName, encode(change));
}

// Freeing the images of a large file takes the disk a while; the user's commit does not wait for
// it. The folders are renamed first, so a half-removed one is never read as a change.
void History::dropFolders(const std::vector<unsigned>& seqs) {
    std::vector<fs::path> dropped;
    for (const unsigned seq : seqs) {
        const fs::path from = changeFolder(seq);
        const fs::path to = folder_ / (DropPrefix + from.filename().string());
        removeTree(to);
        dropped.push_back(::rename(from.c_str(), to.c_str()) == 0 ? to : from);
    }
    if (dropped.empty())
        return;
    finishSweep();
    try {
        sweeper_ = std::thread([dropped] {
            for (const fs::path& dir : dropped)
                removeTree(dir);
        });
    } catch (...) {
        for (const fs::path& dir : dropped)
            removeTree(dir);
    }
}

void History::prune() {
    std::uint64_t bytes = 0;
    std::vector<std::uint64_t> sizes;
    for (const Change& c : changes_) {
        std::uint64_t size = 0;
        for (const Item& i : c.items)
            if (!i.folder && i.present[1 - c.live])
                size += i.stamp[1 - c.live].size;
        sizes.push_back(size);
        bytes += size;
    }
    std::size_t drop = 0;
    while (changes_.size() - drop > 1 && (changes_.size() - drop > MaxChanges || bytes > MaxBytes))
        bytes -= sizes[drop++];
    std::vector<unsigned> dropped;
    for (std::size_t n = 0; n < drop; ++n)
        dropped.push_back(changes_[n].seq);
    dropFolders(dropped);
    // Not synced: a dropped change a crash brings back is checked like any other before use.
    changes_.erase(changes_.begin(), changes_.begin() + static_cast<std::ptrdiff_t>(drop));
}

void History::open() {
    pending_.emplace(Pending{});
    if (viewProvider_)
        pending_->change.view[0] = viewProvider_();
}

void History::keep(const fs::path& path, bool folder) {
    if (!pending_ || pending_->broken)
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
            std::error_code ec;
            fs::create_directories(folder_, ec);
            p.dir = folder_ / (PendingPrefix + std::to_string(::getpid()));
            removeTree(p.dir);
            if (ec || !fs::create_directory(p.dir, ec))
                throw FileError(ec, p.dir.string());
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
            if (other) {
                p.broken = true; // a link or a folder by a data file's name is not kept
                return;
            }
            keepFile(abs, image(p.dir, 0, i.image));
            i.present[0] = true;
            i.stamp[0] = *stampOf(image(p.dir, 0, i.image), inodes_);
        }
        p.change.items.push_back(i);
    } catch (...) {
        p.broken = true;
    }
}

void History::close() noexcept {
    std::optional<Pending> taken = std::move(pending_);
    pending_.reset();
    if (!taken || !taken->started)
        return;
    busy_ = true;
    struct Done {
        bool& busy;
        ~Done() { busy = false; }
    } done{busy_};
    Pending& p = *taken;
    try {
        if (p.broken)
            throw FileError("before-image not kept", p.dir.string());
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
                ::unlink(image(p.dir, 0, i.image).c_str());
        }
        if (changed.empty())
            throw FileError("nothing changed", p.dir.string());
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
            const fs::path manifest = p.dir / ManifestName;
            io::UniqueFd fd(io::openRetry(manifest.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
            if (!fd)
                io::fail(errno, manifest);
            if (const int err = io::writeAll(fd.get(), encode(c)))
                io::fail(err, manifest);
            if (const int err = fd.close())
                io::fail(err, manifest);
        }
        // A new change ends what could be redone.
        std::vector<unsigned> redone;
        while (!changes_.empty() && changes_.back().live == 0) {
            redone.push_back(changes_.back().seq);
            changes_.pop_back();
        }
        dropFolders(redone);
        c.seq = changes_.empty() ? 1 : changes_.back().seq + 1;
        const fs::path dir = changeFolder(c.seq);
        removeTree(dir);
        if (::rename(p.dir.c_str(), dir.c_str()) != 0)
            io::fail(errno, dir);
        changes_.push_back(std::move(c));
        prune();
        if (changed_)
            changed_();
    } catch (...) {
        // Not recorded: the data is saved all the same, and a later undo that meets these files
        // finds that they no longer match and drops the history rather than apply it.
        removeTree(p.dir);
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
