// Writing a file so that a failed write never spoils the old one: the new
// bytes go to a temporary file beside the target, flushed to disk, which is
// renamed over it. Symbolic links are followed, so a link stays a link; a
// target that may not be written (read-only, a device, a pipe) is refused;
// where no temporary file can be made, or the old file's owner or other hard
// links would change, the file is written in place, as a plain save would.
#include "mission/safe_write.h"

#include <cerrno>
#include <cstring>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <system_error>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

#ifdef _WIN32
int openFile(const std::string& name, int flags) {
    return ::_open(name.c_str(), flags | _O_BINARY, _S_IREAD | _S_IWRITE);
}
void closeFile(int fd) { ::_close(fd); }
std::FILE* streamOf(int fd) { return ::_fdopen(fd, "wb"); }
bool toDisk(std::FILE* f) { return ::_commit(::_fileno(f)) == 0; }
#else
int openFile(const std::string& name, int flags) {
    return ::open(name.c_str(), flags | O_CLOEXEC | O_NOCTTY, 0666);
}
void closeFile(int fd) { ::close(fd); }
std::FILE* streamOf(int fd) { return ::fdopen(fd, "wb"); }
bool toDisk(std::FILE* f) { return ::fsync(::fileno(f)) == 0; }
#endif

// The file a save writes: path itself or, when path is a symbolic link, the
// end of its chain, so that the link stays a link. A link is read relative to
// its own folder, and a dangling one names the file to create, as fopen
// would. False for a loop or a chain longer than the system follows.
constexpr int maxLinks = 40;
bool linkTarget(const char* path, fs::path& out) {
    fs::path p(path);
    for (int hops = 0; hops <= maxLinks; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(p, ec))) {
            out = p;
            return true;
        }
        const fs::path next = fs::read_symlink(p, ec);
        if (ec) return false;
        p = p.parent_path() / next;
    }
    return false;
}

// Whether an existing target may be written: only a plain file (a device or
// a pipe could swallow the save or keep it waiting for ever), and only if the
// system lets us open it for writing. Opening it, without truncating, asks
// the system itself, so ACLs, read-only mounts and root count as they should.
bool mayWrite(const std::string& target, const struct stat& old) {
    if (!S_ISREG(old.st_mode)) return false;
    const int fd = openFile(target, O_WRONLY);
    if (fd < 0) return false;
    closeFile(fd);
    return true;
}

// Gives a new file the old one's owner, group and permission bits, so that
// replacing the file changes nothing but its contents.
bool keepAttributes(int fd, const struct stat* old) {
#ifdef _WIN32
    (void)fd;
    (void)old;
    return true;
#else
    if (!old) return true; // a new file: the system gave it what fopen would
    struct stat now;
    if (::fstat(fd, &now) != 0) return false;
    if ((now.st_uid != old->st_uid || now.st_gid != old->st_gid) &&
        ::fchown(fd, old->st_uid, old->st_gid) != 0)
        return false;
    return ::fchmod(fd, old->st_mode & 07777) == 0;
#endif
}

enum class Outcome { saved, failed, inPlace };

// Writes bytes to target.tmp, flushed to disk, and renames it over target.
// Where that cannot be done without changing more than the contents (no
// temporary file can be made, the old file's owner cannot be kept, it has
// other hard links, the rename is refused) the caller writes in place instead.
// A write that fails is a failure: writing in place then would spoil the old
// file. The temporary file never stays behind.
Outcome replace(const std::string& target, const Bytes& bytes, const struct stat* old) {
    if (old && old->st_nlink > 1) return Outcome::inPlace;
    const std::string temp = target + ".tmp";
    const int fd = openFile(temp, O_WRONLY | O_CREAT | O_EXCL);
    if (fd < 0) return Outcome::inPlace; // not ours if it exists: left alone
    std::error_code ec;
    std::FILE* f = keepAttributes(fd, old) ? streamOf(fd) : nullptr;
    if (!f) {
        closeFile(fd);
        fs::remove(temp, ec);
        return Outcome::inPlace;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = ok && std::fflush(f) == 0 && toDisk(f);
    ok = std::fclose(f) == 0 && ok;
    if (ok) fs::rename(temp, target, ec);
    if (ok && !ec) return Outcome::saved;
    fs::remove(temp, ec);
    return ok ? Outcome::inPlace : Outcome::failed;
}

// The game's own way: truncate and write.
bool writeInPlace(const std::string& target, const Bytes& bytes) {
    std::FILE* f = std::fopen(target.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace

bool writeFileSafely(const char* path, const std::vector<unsigned char>& bytes) {
    fs::path resolved;
    if (!linkTarget(path, resolved)) return false;
    const std::string target = resolved.string();
    struct stat old;
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && !mayWrite(target, old)) return false;
    switch (replace(target, bytes, exists ? &old : nullptr)) {
    case Outcome::saved:
        return true;
    case Outcome::failed:
        return false;
    case Outcome::inPlace:
        break;
    }
    return writeInPlace(target, bytes);
}

bool keepNewFile(const std::string& folder, const std::string& name,
                 const std::vector<unsigned char>& bytes, std::string& where) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    const fs::path base(name);
    const std::string stem = base.stem().string(), ext = base.extension().string();
    for (int n = 1; n < 10000; ++n) {
        const fs::path p =
            fs::path(folder) / (n == 1 ? name : stem + "-" + std::to_string(n) + ext);
        // O_EXCL: the name is taken atomically, so two shots never share a file.
        const int fd = openFile(p.string(), O_WRONLY | O_CREAT | O_EXCL);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            where = "cannot write " + p.string() + ": " + std::strerror(errno);
            return false;
        }
        std::FILE* f = streamOf(fd);
        bool ok = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
        ok = (f ? std::fclose(f) == 0 : (closeFile(fd), false)) && ok;
        where = p.string();
        if (!ok) {
            fs::remove(p, ec);
            where = "cannot write " + p.string();
        }
        return ok;
    }
    where = "no free name for " + name + " in " + folder;
    return false;
}
