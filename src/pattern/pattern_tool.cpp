#include "pattern/pattern_tool.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "base/file_bytes.h"
#include "base/software_version.h"
#include "pattern/opcode_listing.h"
#include "pattern/pattern_file.h"

namespace vantu {
namespace {

constexpr std::string_view kUsage =
    "Usage: vantu-pattern dump FILE\n"
    "       vantu-pattern build OUT [--start OFFSET] WORD...\n"
    "       vantu-pattern build OUT [--start OFFSET] --words-from TEXT\n"
    "       vantu-pattern -h | --help | --version\n"
    "Numbers are hexadecimal, with or without 0x. OFFSET defaults to 0xC000. A words\n"
    "file holds words separated by blanks or lines; '#' starts a comment. OUT '-' is\n"
    "standard output.\n"
    "Exit status: 0 success, 1 a refused or unreadable file or a failed write, 2 usage.\n";

constexpr std::string_view kTool = "vantu-pattern: ";

// Strict hexadecimal: the whole token must be a 32-bit number.
std::optional<std::uint32_t> ParseWord(std::string_view token) {
    if (token.starts_with("0x") || token.starts_with("0X")) {
        token.remove_prefix(2);
    }
    std::uint32_t value = 0;
    auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value, 16);
    if (token.empty() || error != std::errc() || end != token.data() + token.size()) {
        return std::nullopt;
    }
    return value;
}

// The file's bytes, or one line on err naming the file and why it cannot be read.
std::optional<std::string> ReadInput(const std::string& path, std::ostream& err) {
    std::string error;
    std::optional<std::string> bytes = ReadFileBytes(path, error);
    if (!bytes) {
        err << kTool << path << ": cannot read: " << error << "\n";
    }
    return bytes;
}

std::string Hex8(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
    return text;
}

int Dump(const std::string& path, std::ostream& out, std::ostream& err) {
    std::optional<std::string> bytes = ReadInput(path, err);
    if (!bytes) {
        return 1;
    }
    const std::optional<PatternHeader> header = ParsePatternHeader(*bytes);
    if (!header) {
        err << kTool << path << ": shorter than the 8-byte header\n";
        return 1;
    }
    const auto [start, length] = *header;
    out << "start offset " << Hex8(start) << "\n";
    out << "length       " << length << " bytes (" << length / 4 << " words)\n";
    if (const PatternReadResult check = CheckPatternHeader(start, length); check != kPatternRead) {
        err << kTool << path << ": refused by the loader: " << PatternProblemText(check) << "\n";
        return 1;
    }

    PatternImage image;
    ParsePattern(*bytes, image);
    const std::size_t supplied = (bytes->size() - kPatternHeaderBytes) / 4;
    if (supplied < image.words.size()) {
        out << "note: the file holds " << supplied << " of " << image.words.size()
            << " words; the rest load as 0\n";
    }
    for (std::size_t i = 0; i < image.words.size(); ++i) {
        const std::uint32_t offset = start + static_cast<std::uint32_t>(4 * i);
        out << OpCodeListingLine(i, {static_cast<std::uint16_t>(offset & 0xFFFF), image.words[i]})
            << "\n";
    }
    return 0;
}

// Words of a text file: blank-separated hexadecimal, '#' to the end of a line ignored.
bool ReadWordsText(const std::string& text, std::vector<std::uint32_t>& words, std::ostream& err) {
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        line = line.substr(0, line.find('#'));
        std::istringstream tokens(line);
        for (std::string token; tokens >> token;) {
            std::optional<std::uint32_t> word = ParseWord(token);
            if (!word) {
                err << kTool << "line " << number << ": not a hexadecimal word: " << token << "\n";
                return false;
            }
            words.push_back(*word);
        }
    }
    return true;
}

int Build(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
    const std::string path(args[0]);
    std::uint32_t start = kControlCodeMemory;
    std::vector<std::uint32_t> words;
    bool from_file = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if ((args[i] == "--start" || args[i] == "--words-from") && i + 1 == args.size()) {
            err << kTool << args[i] << " needs a value (see --help)\n";
            return 2;
        }
        if (args[i] == "--start") {
            std::optional<std::uint32_t> value = ParseWord(args[++i]);
            if (!value) {
                err << kTool << "not a hexadecimal offset: " << args[i] << "\n";
                return 2;
            }
            start = *value;
        } else if (args[i] == "--words-from") {
            from_file = true;
            const std::string source(args[++i]);
            std::optional<std::string> text = ReadInput(source, err);
            if (!text) {
                return 1;
            }
            if (!ReadWordsText(*text, words, err)) {
                return 2;
            }
        } else if (std::optional<std::uint32_t> word = ParseWord(args[i])) {
            words.push_back(*word);
        } else {
            err << kTool << "not a hexadecimal word: " << args[i] << "\n";
            return 2;
        }
    }
    if (words.empty() && !from_file) {
        err << kTool << "build " << path << " has no words (see --help)\n";
        return 2;
    }
    if (words.size() > kMaxPatternWords) {
        err << kTool << path << ": " << words.size() << " words, the control code memory holds "
            << kMaxPatternWords << "\n";
        return 1;
    }
    const auto length = static_cast<std::uint32_t>(4 * words.size());
    if (const PatternReadResult check = CheckPatternHeader(start, length); check != kPatternRead) {
        err << kTool << path << ": the loader would refuse it: " << PatternProblemText(check)
            << "\n";
        return 1;
    }
    const std::string summary = std::to_string(words.size()) + " words from " + Hex8(start) + "\n";
    if (path == "-") {
        out << EncodePattern(start, words) << std::flush;
        err << kTool << "standard output: " << summary;
        return out ? 0 : 1;
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << EncodePattern(start, words);
    file.close();
    if (!file) {
        err << kTool << path << ": write failed\n";
        return 1;
    }
    out << path << ": " << summary;
    return 0;
}

}  // namespace

int RunPatternTool(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
    if (args.size() == 2 && args[0] == "dump") {
        return Dump(std::string(args[1]), out, err);
    }
    if (args.size() >= 2 && args[0] == "build") {
        return Build(args.subspan(1), out, err);
    }
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        out << kUsage;
        return 0;
    }
    if (args.size() == 1 && args[0] == "--version") {
        out << "vantu-pattern " << kSoftwareVersion << "\n";
        return 0;
    }
    err << kTool << (args.empty() ? "no command given" : "unknown command or missing argument")
        << " (see --help)\n";
    return 2;
}

}  // namespace vantu
