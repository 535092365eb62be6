#pragma once
// Every local write goes to a temporary file in the target's folder, is flushed to
// disk, then renamed over the target: a failure or a kill leaves the old file whole.
#include <string>
#include <string_view>

namespace files {

// False with a reason in error when anything fails; the target is then untouched.
bool AtomicWriteFile(const std::string& path, std::string_view bytes, std::string& error);
// Whole file as bytes; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error);
bool FileExists(const std::string& path);

}  // namespace files
