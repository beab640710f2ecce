#include "base/ini_file.h"

#include <sys/stat.h>

#include <cctype>

#include "base/file_bytes.h"

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

// Names match without regard to case.
std::string LowerName(std::string_view name) {
    std::string lower(name);
    for (char& c : lower) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return lower;
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

struct RawLine {
    std::string_view bytes;   // ending included
    std::string_view body;    // without the ending
    std::string_view ending;  // "\r\n", "\n" or "" in UTF-8
};

// The lines of text in the encoding, split at line feeds on the encoding's unit grid
// (before decoding, so that a stray lead byte cannot swallow a line feed).
std::vector<RawLine> RawLines(std::string_view bytes, TextEncoding encoding) {
    const std::string line_feed = EncodeText("\n", encoding);
    const std::string carriage_return = EncodeText("\r", encoding);
    std::vector<RawLine> lines;
    std::size_t begin = 0;
    for (std::size_t at = 0; at + line_feed.size() <= bytes.size(); at += line_feed.size()) {
        if (bytes.compare(at, line_feed.size(), line_feed) != 0) {
            continue;
        }
        const std::size_t end = at + line_feed.size();
        std::string_view body = bytes.substr(begin, at - begin);
        const bool crlf = body.ends_with(carriage_return);
        body.remove_suffix(crlf ? carriage_return.size() : 0);
        lines.push_back({bytes.substr(begin, end - begin), body, crlf ? "\r\n" : "\n"});
        begin = end;
    }
    if (begin < bytes.size()) {
        lines.push_back({bytes.substr(begin), bytes.substr(begin), ""});
    }
    return lines;
}

}  // namespace

IniFile IniFile::Load(const std::string& path) {
    const std::optional<std::string> bytes = ReadStoredFile(path);
    if (bytes) {
        return Parse(*bytes);
    }
    IniFile empty;
    struct stat file {};
    empty.unreadable_ = ::stat(path.c_str(), &file) == 0;
    return empty;
}

IniFile IniFile::Parse(std::string_view bytes) {
    IniFile file;
    file.encoding_ = DetectSettingsEncoding(bytes);
    bytes.remove_prefix(ByteOrderMark(file.encoding_).size());
    std::size_t crlf = 0;
    std::size_t lf = 0;
    for (const RawLine& raw : RawLines(bytes, file.encoding_)) {
        if (raw.ending == "\r\n") {
            ++crlf;
        } else if (raw.ending == "\n") {
            ++lf;
        }
        file.lines_.push_back({DecodeText(raw.body, file.encoding_), std::string(raw.ending),
                               std::string(raw.bytes)});
    }
    if (lf > crlf) {
        file.newline_ = "\n";
    }
    file.Reindex();
    return file;
}

void IniFile::Reindex() {
    sections_.clear();
    keys_.clear();
    std::string section;
    bool first_of_name = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (auto name = SectionName(lines_[i].text)) {
            section = LowerName(*name);
            first_of_name = sections_.emplace(section, i).second;
        } else if (auto kv = SplitKeyValue(lines_[i].text); kv && first_of_name) {
            keys_.emplace(section + '\n' + LowerName(kv->key), i);
        }
    }
}

std::optional<std::size_t> IniFile::FindSection(std::string_view section) const {
    const auto found = sections_.find(LowerName(section));
    return found == sections_.end() ? std::nullopt : std::optional(found->second);
}

std::size_t IniFile::SectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < lines_.size() && !SectionName(lines_[i].text)) {
        ++i;
    }
    return i;
}

std::optional<std::size_t> IniFile::FindKey(std::string_view section, std::string_view key) const {
    const auto found = keys_.find(LowerName(section) + '\n' + LowerName(key));
    return found == keys_.end() ? std::nullopt : std::optional(found->second);
}

std::vector<std::string> IniFile::Keys(std::string_view section) const {
    std::vector<std::string> keys;
    if (auto header = FindSection(section)) {
        const std::size_t end = SectionEnd(*header);
        for (std::size_t i = *header + 1; i < end; ++i) {
            if (auto kv = SplitKeyValue(lines_[i].text)) {
                keys.emplace_back(kv->key);
            }
        }
    }
    return keys;
}

std::optional<std::string> IniFile::Get(std::string_view section, std::string_view key) const {
    auto line = FindKey(section, key);
    if (!line) {
        return std::nullopt;
    }
    return std::string(SplitKeyValue(lines_[*line].text)->value);
}

void IniFile::Insert(std::size_t at, std::string text) {
    std::string ending = newline_;
    // Only the last line can lack an ending; a line added after it becomes the last.
    if (at > 0 && lines_[at - 1].ending.empty()) {
        Line& before = lines_[at - 1];
        before.ending = newline_;
        // A UTF-16 file cut after an odd byte is re-encoded, so what follows stays aligned.
        const std::size_t unit = EncodeText("\n", encoding_).size();
        if (before.read_as && before.read_as->size() % unit == 0) {
            *before.read_as += EncodeText(newline_, encoding_);
        } else {
            before.read_as.reset();
        }
        ending.clear();
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at),
                  Line{std::move(text), std::move(ending), std::nullopt});
    Reindex();
}

void IniFile::Set(std::string_view section, std::string_view key, std::string_view value) {
    std::string entry = std::string(key) + "=" + std::string(value);
    auto header = FindSection(section);
    if (!header) {
        Insert(lines_.size(), "[" + std::string(section) + "]");
        Insert(lines_.size(), std::move(entry));
        return;
    }
    if (auto line = FindKey(section, key)) {
        lines_[*line].text = std::move(entry);
        lines_[*line].read_as.reset();
        return;
    }
    // After the section's last non-blank line, so a blank line before the next
    // section stays where it was.
    std::size_t insert_at = SectionEnd(*header);
    while (insert_at > *header + 1 && Trim(lines_[insert_at - 1].text).empty()) {
        --insert_at;
    }
    Insert(insert_at, std::move(entry));
}

std::string IniFile::Serialise() const {
    std::string bytes(ByteOrderMark(encoding_));
    for (const Line& line : lines_) {
        bytes += line.read_as ? *line.read_as : EncodeText(line.text + line.ending, encoding_);
    }
    return bytes;
}

bool IniFile::Save(const std::string& path) const {
    return !unreadable_ && ReplaceFileBytes(path, Serialise());
}

}  // namespace vantu
