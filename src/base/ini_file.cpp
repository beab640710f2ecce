#include "base/ini_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace vantu {
namespace {

std::string_view Trim(std::string_view text) {
    auto blank = [](char c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
    };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

// "[name]" lines: the name between the first '[' and the next ']'.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() != '[') {
        return std::nullopt;
    }
    std::size_t close = line.find(']');
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    return Trim(line.substr(1, close - 1));
}

struct KeyValue {
    std::string_view key;
    std::string_view value;
};

std::optional<KeyValue> SplitKeyValue(std::string_view line) {
    std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == ';') {
        return std::nullopt;
    }
    std::size_t eq = trimmed.find('=');
    if (eq == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view value = Trim(trimmed.substr(eq + 1));
    // Matching quotes around a value are not part of it.
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return KeyValue{Trim(trimmed.substr(0, eq)), value};
}

}  // namespace

IniFile IniFile::Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return IniFile{};
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return Parse(bytes);
}

IniFile IniFile::Parse(std::string_view bytes) {
    IniFile file;
    DecodedText decoded = DecodeSettingsText(bytes);
    file.encoding_ = decoded.encoding;
    std::string_view text = decoded.utf8;
    if (text.find("\r\n") == std::string_view::npos && text.find('\n') != std::string_view::npos) {
        file.newline_ = "\n";
    }
    file.final_newline_ = text.empty() || text.back() == '\n';
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        file.lines_.emplace_back(line);
        if (end == std::string_view::npos) {
            break;
        }
        text.remove_prefix(end + 1);
    }
    return file;
}

std::optional<std::size_t> IniFile::FindSection(std::string_view section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        auto name = SectionName(lines_[i]);
        if (name && SameName(*name, section)) {
            return i;
        }
    }
    return std::nullopt;
}

std::size_t IniFile::SectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < lines_.size() && !SectionName(lines_[i])) {
        ++i;
    }
    return i;
}

std::optional<std::size_t> IniFile::FindKey(std::size_t header, std::string_view key) const {
    std::size_t end = SectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        auto kv = SplitKeyValue(lines_[i]);
        if (kv && SameName(kv->key, key)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::string> IniFile::Get(std::string_view section, std::string_view key) const {
    auto header = FindSection(section);
    if (!header) {
        return std::nullopt;
    }
    auto line = FindKey(*header, key);
    if (!line) {
        return std::nullopt;
    }
    return std::string(SplitKeyValue(lines_[*line])->value);
}

void IniFile::Set(std::string_view section, std::string_view key, std::string_view value) {
    std::string entry = std::string(key) + "=" + std::string(value);
    auto header = FindSection(section);
    if (!header) {
        lines_.push_back("[" + std::string(section) + "]");
        lines_.push_back(entry);
        return;
    }
    if (auto line = FindKey(*header, key)) {
        lines_[*line] = entry;
        return;
    }
    // After the section's last non-blank line, so a blank line before the next
    // section stays where it was.
    std::size_t insert_at = SectionEnd(*header);
    while (insert_at > *header + 1 && Trim(lines_[insert_at - 1]).empty()) {
        --insert_at;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insert_at), entry);
}

std::string IniFile::Serialise() const {
    std::string text;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        text += lines_[i];
        if (i + 1 < lines_.size() || final_newline_) {
            text += newline_;
        }
    }
    return EncodeSettingsText(text, encoding_);
}

bool IniFile::Save(const std::string& path) const {
    // Written beside the file and renamed over it, so a failed write never leaves a
    // half-written setup.ini behind.
    std::string temp = path + ".saving";
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    std::string bytes = Serialise();
    std::string_view rest = bytes;
    bool ok = true;
    while (ok && !rest.empty()) {
        ssize_t n = ::write(fd, rest.data(), rest.size());
        ok = n > 0;
        if (ok) {
            rest.remove_prefix(static_cast<std::size_t>(n));
        }
    }
    ok = (::fsync(fd) == 0) && ok;
    ok = (::close(fd) == 0) && ok;
    if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace vantu
