// setup.ini: what the station reads at start-up and the two groups it writes back.
#pragma once

#include <string>
#include <vector>

#include "base/ports.h"
#include "base/shared_settings.h"

namespace vantu {

struct StationSettings {
    int com_port = 1;
    // COM_PORT's DEVICE: the device COM port numbers map to (/dev/ttyUSB0); empty for
    // /dev/ttyS<n-1>.
    std::string com_device;
    std::string pattern_dir_name;
    std::string pattern_dir;
    std::vector<std::string> pattern_list;
};

enum SettingsGroup { kSaveRefLineColour = 0, kSaveTempColours = 1 };

// ">74", "70-74" ... "5-9", "<5", "NULL".
std::string TempColourKey(int index);
// "M[000]" ... "M[160]".
std::string MaskKey(int module);
// " 0x%x": the written form of a colour.
std::string ColourText(Colour colour);

std::string SettingsPath(const std::string& station_dir);

// 0 when every required key was read; 1 after the first missing one, which the
// operator is warned about. Values read before a failure stay in effect.
int LoadSettings(const std::string& station_dir, Prompts& prompts, SharedSettings& shared,
                 StationSettings& station);

// 0 on success, 1 after a failed write (warned about).
int SaveSettings(const std::string& station_dir, int group, const SharedSettings& shared,
                 Prompts& prompts);

}  // namespace vantu
