// A setup.ini reader and writer in the manner of the Windows private-profile
// routines: section and key names match without regard to case, blanks around keys
// and values are dropped, and a write replaces the value in place, keeping every
// other line (comments, unknown keys, order) as it was: byte for byte, line ending
// included, so text that does not convert in a line nobody edited is never lost.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/encoding.h"

namespace vantu {

class IniFile {
  public:
    // A missing or unreadable file gives an empty one.
    static IniFile Load(const std::string& path);
    static IniFile Parse(std::string_view bytes);

    // The value of key in section; nullopt when either is missing.
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;
    // The key names of section, in file order; empty when the section is missing.
    std::vector<std::string> Keys(std::string_view section) const;
    // Replaces the key's value where it stands; adds the key at the end of its section
    // (or a new section at the end of the file) when it is missing.
    void Set(std::string_view section, std::string_view key, std::string_view value);

    // Writes the file in the encoding it was read in, through a symlink, keeping the
    // file's mode and owner; false, with the file as it was, when that fails or when
    // Load found a file it could not read (saving would lose what that file holds).
    bool Save(const std::string& path) const;
    std::string Serialise() const;

  private:
    struct Line {
        std::string text;    // UTF-8, without its line ending
        std::string ending;  // "\r\n", "\n", or "" for a last line without one
        // The bytes the line was read as, ending included; empty once the line changed.
        std::optional<std::string> read_as;
    };

    void Insert(std::size_t at, std::string text);
    // Lookups go through an index of the lines, so reading n keys stays linear.
    void Reindex();
    std::optional<std::size_t> FindSection(std::string_view section) const;
    std::size_t SectionEnd(std::size_t header) const;
    std::optional<std::size_t> FindKey(std::string_view section, std::string_view key) const;

    std::vector<Line> lines_;
    bool unreadable_ = false;
    // By lower-case name: the header line of each section's first occurrence, and the
    // line of each key's first occurrence within it ("section\nkey").
    std::unordered_map<std::string, std::size_t> sections_;
    std::unordered_map<std::string, std::size_t> keys_;
    TextEncoding encoding_ = TextEncoding::Utf8;
    // The ending of added lines: the one most lines of the file have.
    std::string newline_ = "\r\n";
};

}  // namespace vantu
