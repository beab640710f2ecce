#include "temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "log_lines.h"

namespace vantu::testing {

TempDir::TempDir()
    : path_((std::filesystem::temp_directory_path() / "vantu-test-XXXXXX").string()) {
    if (::mkdtemp(path_.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void TempDir::Write(const std::string& name, const std::string& bytes) const {
    std::ofstream out(File(name), std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string TempDir::Read(const std::string& name) const {
    return ReadFile(File(name));
}

bool TempDir::Exists(const std::string& name) const {
    return std::filesystem::exists(File(name));
}

void TempDir::MakeDir(const std::string& name) const {
    std::filesystem::create_directories(File(name));
}

}  // namespace vantu::testing
