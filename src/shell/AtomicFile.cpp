#include "AtomicFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "UserInterface.h"

namespace files {

namespace {

constexpr std::string_view kTempMark = ".tmp";
constexpr std::size_t kTempRandom = 6;  // the characters mkstemp puts in for XXXXXX

// A temporary of ours for target (any target when empty): "<target>.tmp" and six letters
// or digits.
bool IsTemporaryName(std::string_view name, std::string_view target) {
    if (name.size() < kTempMark.size() + kTempRandom + (target.empty() ? 1 : target.size()))
        return false;
    std::string_view stem = name.substr(0, name.size() - kTempMark.size() - kTempRandom);
    if (!target.empty() && stem != target) return false;
    if (name.substr(stem.size(), kTempMark.size()) != kTempMark) return false;
    for (char c : name.substr(name.size() - kTempRandom))
        if (!std::isalnum(static_cast<unsigned char>(c))) return false;
    return true;
}

// Removes the file when it is a regular file no writer holds; the lock taken here also
// keeps a writer that has just created it from going on (it finds its file unlinked).
bool RemoveIfStale(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat held, named;
    bool removed = false;
    if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        ::lstat(path.c_str(), &named) == 0 && named.st_dev == held.st_dev &&
        named.st_ino == held.st_ino)
        removed = ::unlink(path.c_str()) == 0;
    ::close(fd);
    return removed;
}

// A new temporary beside path, created and locked; -1 with errno set on failure.
int CreateLockedTemporary(const std::string& path, std::string& tmp) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        std::string name = path + std::string(kTempMark) + std::string(kTempRandom, 'X');
        int fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd < 0) return -1;
        struct stat st;
        // Between creating and locking, a sweep may have taken it for a dead writer's.
        if (::flock(fd, LOCK_EX) == 0 && ::fstat(fd, &st) == 0 && st.st_nlink > 0) {
            tmp = name;
            return fd;
        }
        ::close(fd);
    }
    errno = EAGAIN;
    return -1;
}

void RemoveStaleBeside(const std::string& path, const std::string& own) {
    namespace fs = std::filesystem;
    fs::path target(path);
    fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const std::string name = target.filename().string();
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string entry = it->path().filename().string();
        if (IsTemporaryName(entry, name) && it->path().string() != own)
            RemoveIfStale(it->path().string());
    }
}

}  // namespace

AtomicWriter::AtomicWriter(std::string path) : path_(std::move(path)) {
    if (path_.empty()) {
        error_ = "empty file name";
        return;
    }
    fd_ = CreateLockedTemporary(path_, tmp_);
    if (fd_ < 0) {
        error_ = std::string("cannot create a temporary file beside ") + path_ + ": " +
                 std::strerror(errno);
        return;
    }
    // What a killed writer left for the same target goes now, before it piles up.
    RemoveStaleBeside(path_, tmp_);
}

AtomicWriter::~AtomicWriter() {
    if (fd_ < 0) return;
    ::unlink(tmp_.c_str());
    ::close(fd_);
}

bool AtomicWriter::Commit(std::string& error, int* keepLocked) {
    if (keepLocked) *keepLocked = -1;
    if (fd_ < 0) {
        error = error_;
        return false;
    }
    ::fchmod(fd_, 0644);
    if (::fsync(fd_) != 0) {
        error = std::string("cannot write ") + path_ + ": " + std::strerror(errno);
        return false;
    }
    if (::rename(tmp_.c_str(), path_.c_str()) != 0) {
        error = std::string("cannot replace ") + path_ + ": " + std::strerror(errno);
        return false;
    }
    // The lock goes with the descriptor unless the caller keeps it.
    if (keepLocked)
        *keepLocked = fd_;
    else
        ::close(fd_);
    fd_ = -1;
    return true;
}

bool AtomicWriteFile(const std::string& path, std::string_view bytes, std::string& error,
                     int* keepLocked) {
    if (keepLocked) *keepLocked = -1;
    AtomicWriter out(path);
    if (out.Fd() < 0) {
        error = out.Error();
        return false;
    }
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(out.Fd(), p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = std::string("cannot write ") + path + ": " + std::strerror(errno);
            return false;
        }
        p += n;
        left -= size_t(n);
    }
    return out.Commit(error, keepLocked);
}

int RemoveStaleTemporaries(const std::string& folder) {
    namespace fs = std::filesystem;
    int removed = 0;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (it.depth() >= 1) it.disable_recursion_pending();
        std::error_code sec;
        if (it->is_symlink(sec)) {
            it.disable_recursion_pending();
            continue;
        }
        if (IsTemporaryName(it->path().filename().string(), {}) &&
            RemoveIfStale(it->path().string()))
            ++removed;
    }
    return removed;
}

ReadableFile::ReadableFile(const std::string& path, std::string& error)
    : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
    if (fd_ < 0) error = std::string("cannot open ") + path + ": " + std::strerror(errno);
}

ReadableFile::~ReadableFile() {
    if (fd_ >= 0) ::close(fd_);
}

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error) {
    bytes.clear();
    ReadableFile file(path, error);
    return file.Fd() >= 0 && ReadWholeFile(file.Fd(), path, bytes, error);
}

bool ReadWholeFile(int fd, const std::string& path, std::string& bytes, std::string& error) {
    bytes.clear();
    // Room for the whole file at once: a large layout grown piece by piece would be
    // copied as it grows and hold half as much again as it needs.
    struct stat st;
    if (::fstat(fd, &st) == 0 && st.st_size > 0) bytes.reserve(size_t(st.st_size));
    char chunk[65536];
    for (;;) {
        ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = std::string("cannot read ") + path + ": " + std::strerror(errno);
            bytes.clear();
            return false;
        }
        if (n == 0) break;
        bytes.append(chunk, size_t(n));
    }
    return true;
}

bool FileExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string FormatFileSize(std::uint64_t bytes) {
    if (bytes < 1024) return std::to_string(bytes) + " B";
    // Hundredths of a kilobyte, rounded half up, in whole numbers so that no
    // floating-point error can show as a stray digit.
    std::uint64_t hundredths = bytes / 1024 * 100 + ((bytes % 1024) * 100 + 512) / 1024;
    std::string out = std::to_string(hundredths / 100);
    unsigned frac = unsigned(hundredths % 100);
    if (frac != 0) {
        char buf[4];
        std::snprintf(buf, sizeof buf, "%02u", frac);
        std::string f(buf);
        if (f.back() == '0') f.pop_back();
        out += "." + f;
    }
    return out + " KB";
}

std::string FileSizeText(const std::string& path) {
    struct stat st;
    if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return "0 B";
    return FormatFileSize(std::uint64_t(st.st_size));
}

std::string ReadTextFile(const std::string& path) {
    std::string bytes, error;
    if (!FileExists(path) || !ReadWholeFile(path, bytes, error)) return {};
    return bytes;
}

std::string LoadStringFromBinFile(UserInterface& ui, const std::string& path) {
    std::string bytes, error;
    if (!FileExists(path)) {
        ReportError(ui, "ERR in LoadStringFromBinFile  ", "File not found: " + path);
        return {};
    }
    if (!ReadWholeFile(path, bytes, error)) {
        ReportError(ui, "ERR in LoadStringFromBinFile  ", error);
        return {};
    }
    return bytes;
}

bool KillFile(UserInterface& ui, const std::string& path) {
    if (path.empty()) return true;
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) {
        if (errno == ENOENT) return true;
        ReportError(ui, "ERR in KillFile  ",
                    std::string("cannot reach ") + path + ": " + std::strerror(errno));
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        ReportError(ui, "ERR in KillFile  ", "not a file: " + path);
        return false;
    }
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
        ReportError(ui, "ERR in KillFile  ",
                    std::string("cannot delete ") + path + ": " + std::strerror(errno));
        return false;
    }
    return true;
}

}  // namespace files
