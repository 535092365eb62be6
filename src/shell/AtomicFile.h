#pragma once
// Every local write goes to a temporary file in the target's folder, is flushed to
// disk, then renamed over the target: a failure or a kill leaves the old file whole.
#include <cstdint>
#include <string>
#include <string_view>

class UserInterface;

namespace files {

// False with a reason in error when anything fails; the target is then untouched.
// The temporary ("<path>.tmpXXXXXX") is locked (flock) while it is written, so that
// temporaries left by a writer that was killed can be told from one being written: those
// beside path are removed first. keepLocked: when given, the written file stays locked by
// the descriptor put there (-1 on failure), which the caller closes to let go.
bool AtomicWriteFile(const std::string& path, std::string_view bytes, std::string& error,
                     int* keepLocked = nullptr);
// The same for a file written in steps (through a device of its own): the locked
// temporary is made, and the stale ones beside path swept, on construction; Commit puts it
// in place. Until then, and when Commit fails, the temporary goes with the writer.
class AtomicWriter {
  public:
    explicit AtomicWriter(std::string path);
    ~AtomicWriter();
    AtomicWriter(const AtomicWriter&) = delete;
    AtomicWriter& operator=(const AtomicWriter&) = delete;
    // Readable and writable, positioned at the start; -1 when the temporary could not be
    // made (Error() says why).
    int Fd() const { return fd_; }
    const std::string& Error() const { return error_; }
    // Flushed to disk and renamed over path; false with a reason in error otherwise.
    // keepLocked as for AtomicWriteFile.
    bool Commit(std::string& error, int* keepLocked = nullptr);

  private:
    std::string path_, tmp_, error_;
    int fd_ = -1;
};
// Removes the temporaries of AtomicWriteFile that no live writer holds, in folder and the
// folders directly in it; how many went.
int RemoveStaleTemporaries(const std::string& folder);
// A file open for reading, closed when this goes; Fd() is -1 when it could not be opened,
// and error then says why.
class ReadableFile {
  public:
    ReadableFile(const std::string& path, std::string& error);
    ~ReadableFile();
    ReadableFile(const ReadableFile&) = delete;
    ReadableFile& operator=(const ReadableFile&) = delete;
    int Fd() const { return fd_; }

  private:
    int fd_;
};
// Whole file as bytes; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error);
// The same through a file already open, read from where it stands; the file stays open.
bool ReadWholeFile(int fd, const std::string& path, std::string& bytes, std::string& error);
bool FileExists(const std::string& path);

// "0 B" when the length cannot be read; below 1024 bytes the number and " B";
// otherwise kilobytes rounded to 2 decimals (no trailing zeros) and " KB".
std::string FileSizeText(const std::string& path);
std::string FormatFileSize(std::uint64_t bytes);

// Whole content of a text file, bytes as stored; empty when the file is empty,
// missing or unreadable.
std::string ReadTextFile(const std::string& path);
// The file's bytes; on failure reports "ERR in LoadStringFromBinFile" and gives "".
std::string LoadStringFromBinFile(UserInterface& ui, const std::string& path);
// Deletes one file. A file that is already gone counts as deleted; any other
// failure (a folder, no permission) reports "ERR in KillFile" and gives false.
bool KillFile(UserInterface& ui, const std::string& path);

}  // namespace files
