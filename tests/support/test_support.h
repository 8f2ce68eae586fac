// Small helpers shared by the tests: temporary folders, environment overrides, file fixtures.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace testing_support {

// A fresh folder under the system's temporary folder (or under `base`), removed with everything
// in it at the end.
class TempDir {
public:
    explicit TempDir(const std::string& base = {});
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // path() + "/" + name
    std::string operator/(std::string_view name) const;

private:
    std::string path_;
};

// Sets an environment variable for the lifetime of the object and restores it afterwards.
class ScopedEnv {
public:
    ScopedEnv(std::string name, const std::optional<std::string>& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

// A folder in memory for files a test rewrites often (/dev/shm where it can be written; "" for
// the system's temporary folder otherwise): a flush to disk costs nothing there.
std::string MemoryFolder();

// Writes bytes to a file (creating its folders); reads a whole file.
void WriteFile(const std::string& path, std::string_view bytes);
std::string ReadFile(const std::string& path);

// The source tree (for fixtures kept in the repository).
std::string SourceDir();

}  // namespace testing_support
