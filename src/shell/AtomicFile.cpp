#include "AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "UserInterface.h"

namespace files {

bool AtomicWriteFile(const std::string& path, std::string_view bytes, std::string& error) {
    if (path.empty()) {
        error = "empty file name";
        return false;
    }
    std::string tmpl = path + ".tmpXXXXXX";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    int fd = ::mkstemp(buf.data());
    if (fd < 0) {
        error = std::string("cannot create a temporary file beside ") + path + ": " +
                std::strerror(errno);
        return false;
    }
    std::string tmp(buf.data());
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = std::string("cannot write ") + path + ": " + std::strerror(errno);
            ::close(fd);
            ::unlink(tmp.c_str());
            return false;
        }
        p += n;
        left -= size_t(n);
    }
    ::fchmod(fd, 0644);
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        error = std::string("cannot write ") + path + ": " + std::strerror(errno);
        ::unlink(tmp.c_str());
        return false;
    }
    if (::rename(tmp.c_str(), path.c_str()) != 0) {
        error = std::string("cannot replace ") + path + ": " + std::strerror(errno);
        ::unlink(tmp.c_str());
        return false;
    }
    return true;
}

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error) {
    bytes.clear();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = std::string("cannot open ") + path + ": " + std::strerror(errno);
        return false;
    }
    char chunk[65536];
    for (;;) {
        ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = std::string("cannot read ") + path + ": " + std::strerror(errno);
            ::close(fd);
            bytes.clear();
            return false;
        }
        if (n == 0) break;
        bytes.append(chunk, size_t(n));
    }
    ::close(fd);
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
