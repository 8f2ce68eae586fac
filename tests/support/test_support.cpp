#include "tests/support/test_support.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace testing_support {

TempDir::TempDir(const std::string& base) {
    std::filesystem::path folder =
        base.empty() ? std::filesystem::temp_directory_path() : std::filesystem::path(base);
    std::string tmpl = (folder / "kesto-test-XXXXXX").string();
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    if (!::mkdtemp(buf.data())) throw std::runtime_error("mkdtemp failed");
    path_ = buf.data();
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string TempDir::operator/(std::string_view name) const {
    return path_ + "/" + std::string(name);
}

ScopedEnv::ScopedEnv(std::string name, const std::optional<std::string>& value)
    : name_(std::move(name)) {
    if (const char* old = ::getenv(name_.c_str())) old_ = old;
    if (value) {
        ::setenv(name_.c_str(), value->c_str(), 1);
    } else {
        ::unsetenv(name_.c_str());
    }
}

ScopedEnv::~ScopedEnv() {
    if (old_) {
        ::setenv(name_.c_str(), old_->c_str(), 1);
    } else {
        ::unsetenv(name_.c_str());
    }
}

std::string MemoryFolder() {
    static const std::string folder = [] {
        const char* shm = "/dev/shm";
        return ::access(shm, W_OK | X_OK) == 0 ? std::string(shm) : std::string();
    }();
    return folder;
}

void WriteFile(const std::string& path, std::string_view bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string SourceDir() {
    return KESTO_SOURCE_DIR;
}

}  // namespace testing_support
