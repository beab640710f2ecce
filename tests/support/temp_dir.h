// A temporary station directory for one test, removed with everything in it.
#pragma once

#include <string>

namespace vantu::testing {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    void Write(const std::string& name, const std::string& bytes) const;
    std::string Read(const std::string& name) const;
    bool Exists(const std::string& name) const;
    void MakeDir(const std::string& name) const;

  private:
    std::string path_;
};

}  // namespace vantu::testing
