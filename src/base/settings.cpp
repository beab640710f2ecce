#include "base/settings.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <optional>
#include <set>
#include <string_view>

#include "base/encoding.h"
#include "base/ini_file.h"
#include "base/number_text.h"

namespace vantu {
namespace {

constexpr std::string_view kWarnTail = "設定檔資料 !         ";
// The profile routines read into 80 UTF-16 characters: 79 of a value are seen.
constexpr std::size_t kValueCharacters = 79;

std::string FirstCharacters(const std::string& utf8, std::size_t count) {
    std::size_t i = 0;
    for (std::size_t seen = 0; i < utf8.size() && seen < count; ++seen) {
        auto lead = static_cast<unsigned char>(utf8[i]);
        i += lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    }
    return utf8.substr(0, std::min(i, utf8.size()));
}

// A value as the station sees it: empty when the key or section is missing.
std::string Value(const IniFile& ini, std::string_view section, std::string_view key) {
    return FirstCharacters(ini.Get(section, key).value_or(std::string()), kValueCharacters);
}

void ReadMask(const std::string& value, std::uint32_t& mask) {
    std::string_view rest = value;
    for (int n = 0; n < 4; ++n) {
        std::size_t dash = rest.find('-');
        std::string_view token = rest.substr(0, dash);
        rest = dash == std::string_view::npos ? std::string_view() : rest.substr(dash + 1);
        int shift = (3 - n) * 8;
        mask = (mask & ~(0xFFu << shift)) | ((ParseHex(token) & 0xFFu) << shift);
        if (token.empty()) {
            return;
        }
    }
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

// The numbers 1..count of the "PAT_FILE_<n>" keys of SP_PATTERN, ascending, so a huge
// SET_MAX_CNT costs no more than the keys the file holds.
std::set<int> PatternKeyNumbers(const IniFile& ini, int count) {
    constexpr std::string_view kPrefix = "PAT_FILE_";
    std::set<int> numbers;
    for (const std::string& key : ini.Keys("SP_PATTERN")) {
        std::string_view name = key;
        if (!StartsWithIgnoringCase(name, kPrefix)) {
            continue;
        }
        name.remove_prefix(kPrefix.size());
        if (name.empty() || name.front() < '0' || name.front() > '9') {
            continue;
        }
        if (const int k = ParseDecimal(name); k >= 1 && k <= count) {
            numbers.insert(k);
        }
    }
    return numbers;
}

}  // namespace

std::string TempColourKey(int index) {
    if (index == 0) {
        return ">74";
    }
    if (index == 15) {
        return "<5";
    }
    if (index == 16) {
        return "NULL";
    }
    char key[32];
    std::snprintf(key, sizeof key, "%d-%d", 75 - 5 * index, 79 - 5 * index);
    return key;
}

std::string MaskKey(int module) {
    char key[32];
    std::snprintf(key, sizeof key, "M[%.3d]", module);
    return key;
}

std::string ColourText(Colour colour) {
    char text[16];
    std::snprintf(text, sizeof text, " 0x%x", colour);
    return text;
}

std::string SettingsPath(const std::string& station_dir) {
    return station_dir + "/setup.ini";
}

int LoadSettings(const std::string& station_dir, Prompts& prompts, SharedSettings& shared,
                 StationSettings& station) {
    IniFile ini = IniFile::Load(SettingsPath(station_dir));

    if (std::string port = Value(ini, "COM_PORT", "COM_PORT"); !port.empty()) {
        station.com_port = ParseDecimal(port);
    }
    station.com_device = Value(ini, "COM_PORT", "DEVICE");
    int count = ParseDecimal(Value(ini, "SP_PATTERN", "SET_MAX_CNT"));
    station.pattern_dir_name = Value(ini, "SP_PATTERN", "FILE_PATH");
    station.pattern_dir = station.pattern_dir_name.empty()
                              ? station_dir
                              : station_dir + "/" + station.pattern_dir_name;
    // Only the numbers the file holds are looked up: SET_MAX_CNT may be any int.
    for (int k : PatternKeyNumbers(ini, count)) {
        char key[32];
        std::snprintf(key, sizeof key, "PAT_FILE_%d", k);
        if (std::string name = Value(ini, "SP_PATTERN", key); !name.empty()) {
            station.pattern_list.push_back(name);
        }
    }

    for (int i = 0; i < kTempColourCount; ++i) {
        std::string key = TempColourKey(i);
        std::string value = Value(ini, "TEMP_COLOR", key);
        if (value.empty()) {
            prompts.Show(PromptIcon::Warning,
                         "無法讀取 [ setup.ini ]-[TEMP_COLOR]  " + key + std::string(kWarnTail));
            return 1;
        }
        shared.temp_colours[static_cast<std::size_t>(i)] = {key, ParseHex(value)};
    }

    std::string ref = Value(ini, "REF_LINE_COLOR", "REF_LINE_CLR");
    if (ref.empty()) {
        prompts.Show(PromptIcon::Warning, "無法讀取 [ setup.ini ]-[REF_LINE_COLOR] REF_LINE_CLR " +
                                              std::string(kWarnTail));
        return 1;
    }
    shared.ref_line_colour = ParseHex(ref);

    for (int m = 0; m < kModuleCount; ++m) {
        std::string key = MaskKey(m);
        std::string value = Value(ini, "SHOW_TRM_TEMP", key);
        if (value.empty()) {
            prompts.Show(PromptIcon::Warning,
                         "無法讀取 [ setup.ini ]-[SHOW_TRM_TEMP] " + key + std::string(kWarnTail));
            return 1;
        }
        ReadMask(value, shared.temp_masks[static_cast<std::size_t>(m)]);
    }
    return 0;
}

int SaveSettings(const std::string& station_dir, int group, const SharedSettings& shared,
                 Prompts& prompts) {
    const std::string path = SettingsPath(station_dir);
    IniFile ini = IniFile::Load(path);
    if (group == kSaveRefLineColour) {
        ini.Set("REF_LINE_COLOR", "REF_LINE_CLR", ColourText(shared.ref_line_colour));
        if (!ini.Save(path)) {
            prompts.Show(
                PromptIcon::Warning,
                "無法儲存 [ setup.ini ]-[REF_LINE_COLOR] REF_LINE_CLR " + std::string(kWarnTail));
            return 1;
        }
        return 0;
    }
    if (group == kSaveTempColours) {
        // Records are matched to keys by label, in order; a key whose record is not
        // next in line is skipped.
        std::size_t record = 0;
        for (int i = 0; i < kTempColourCount; ++i) {
            std::string key = TempColourKey(i);
            if (record >= shared.temp_colours.size() || shared.temp_colours[record].label != key) {
                continue;
            }
            ini.Set("TEMP_COLOR", key, ColourText(shared.temp_colours[record].colour));
            ++record;
            if (!ini.Save(path)) {
                prompts.Show(PromptIcon::Warning, "無法儲存 [ setup.ini ]-[TEMP_COLOR]  " + key +
                                                      std::string(kWarnTail));
                return 1;
            }
        }
    }
    return 0;
}

}  // namespace vantu
