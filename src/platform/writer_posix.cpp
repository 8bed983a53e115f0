// The whole-file write on POSIX: mkstemp beside the target, fsync, rename, fsync of the folder.
#include "platform/real.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace tonfex {

namespace {

std::string reason(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
        return "kann nicht geschrieben werden (Zugriff verweigert)";
    case ENOSPC:
    case EDQUOT:
        return "Schreibfehler (Datenträger voll)";
    case ENOENT:
    case ENOTDIR:
        return "kann nicht geschrieben werden (Ordner nicht vorhanden)";
    default:
        return std::string("kann nicht geschrieben werden (") + std::strerror(error) + ")";
    }
}

// The process's file creation mask, read without changing it for other threads for long.
mode_t currentUmask() {
    mode_t mask = umask(022);
    umask(mask);
    return mask;
}

} // namespace

std::string TemporaryFileWriter::createTemporary() {
    struct stat named {};
    const bool isLink = lstat(path_.c_str(), &named) == 0 && S_ISLNK(named.st_mode);
    struct stat st {};
    const bool exists = stat(path_.c_str(), &st) == 0; // through links
    if (!exists && isLink) return "ist ein Verweis auf eine Datei, die es nicht gibt";
    if (exists && S_ISDIR(st.st_mode)) return "ist ein Ordner";
    if (exists && S_ISBLK(st.st_mode)) return "ist ein Laufwerk und keine Datei";
    if (exists && !S_ISREG(st.st_mode)) {
        // A device, a pipe: written into as it is (opening a pipe waits for its reader).
        int fd;
        do
            fd = open(path_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        while (fd < 0 && errno == EINTR);
        if (fd < 0) return reason(errno);
        handle_ = fd;
        temp_.clear();
        return "";
    }
    if (isLink) {
        char* resolved = realpath(path_.c_str(), nullptr);
        if (!resolved) return reason(errno);
        target_ = resolved;
        std::free(resolved);
    }
    std::string pattern = target_.string() + kMarker + "-XXXXXX";
    const int fd = mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) return reason(errno);
    handle_ = fd;
    temp_ = pattern;
    // The file keeps its permissions (and, for root, its owner); a new one gets the usual ones.
    if (exists) {
        if (fchown(fd, st.st_uid, st.st_gid) != 0) {
            // Only root may give a file away; everyone else's file is theirs already.
        }
        fchmod(fd, st.st_mode & 07777);
    } else {
        fchmod(fd, 0666 & ~currentUmask());
    }
    // Held while the file is written: a later run sees that its writer is alive.
    flock(fd, LOCK_EX | LOCK_NB);
    removeLeftovers();
    return "";
}

void TemporaryFileWriter::removeLeftovers() {
    const fs::path folder = temp_.has_parent_path() ? temp_.parent_path() : fs::path(".");
    DIR* dir = opendir(folder.c_str());
    if (!dir) return;
    while (dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        const size_t at = name.find(kMarker);
        if (at == std::string::npos || at == 0) continue;
        const fs::path path = folder / name;
        if (path == temp_) continue;
        struct stat st {};
        if (lstat(path.c_str(), &st) != 0) continue;
        if (S_ISLNK(st.st_mode)) {
            unlink(path.c_str()); // planted where a temporary file would go
            continue;
        }
        if (!S_ISREG(st.st_mode)) continue;
        // A writer that is alive holds its lock; one that was killed holds nothing.
        const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) continue;
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) unlink(path.c_str());
        close(fd);
    }
    closedir(dir);
}

std::string TemporaryFileWriter::flushBuffer() {
    const char* at = buffer_.data();
    size_t left = buffer_.size();
    while (left > 0) {
        const ssize_t n = ::write(static_cast<int>(handle_), at, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            buffer_.clear();
            return n < 0 && errno == EPIPE ? "Schreibfehler (der Empfänger hat die Leitung "
                                             "geschlossen)"
                                           : "Schreibfehler (Datenträger voll?)";
        }
        at += n;
        left -= static_cast<size_t>(n);
    }
    buffer_.clear();
    return "";
}

void TemporaryFileWriter::rewriteStart(std::string_view bytes) {
    if (!error_.empty() || !created_) return;
    if (error_ = flushBuffer(); !error_.empty()) return;
    // A pipe or a device cannot go back: it keeps what it got first.
    if (temp_.empty()) return;
    if (pwrite(static_cast<int>(handle_), bytes.data(), bytes.size(), 0) !=
        static_cast<ssize_t>(bytes.size()))
        error_ = "Schreibfehler (Datenträger voll?)";
}

std::string TemporaryFileWriter::closeTemporary() {
    std::string error = flushBuffer();
    const int fd = static_cast<int>(handle_);
    // The data reaches the disk before the name points at it.
    if (error.empty() && !temp_.empty() && fsync(fd) != 0) error = "Schreibfehler (Datenträger voll?)";
    handle_ = -1;
    if (close(fd) != 0 && error.empty() && !temp_.empty()) error = "Schreibfehler (Datenträger voll?)";
    return error;
}

std::string TemporaryFileWriter::replaceTarget() {
    if (temp_.empty()) return "";
    if (std::string error = replaceFile(temp_, target_); !error.empty()) return error;
    // The folder's entry too, so that the new name survives a power loss.
    const fs::path folder = target_.has_parent_path() ? target_.parent_path() : fs::path(".");
    const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return "";
}

void TemporaryFileWriter::closeHandle() {
    if (handle_ < 0) return;
    close(static_cast<int>(handle_));
    handle_ = -1;
}

} // namespace tonfex
