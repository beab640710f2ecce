// libFuzzer target: setup.ini bytes through the decoder and the profile-style reader
// and writer. A value the station writes must read back as written, and the rest of
// the file must survive the write.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/ini_file.h"
#include "base/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vantu;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    IniFile ini = IniFile::Parse(bytes);
    const auto port = ini.Get("COM_PORT", "COM_PORT");
    for (int i = 0; i < kTempColourCount; ++i) {
        ini.Get("TEMP_COLOR", TempColourKey(i));
    }
    ini.Set("REF_LINE_COLOR", "REF_LINE_CLR", ColourText(0x00FF8000));
    IniFile again = IniFile::Parse(ini.Serialise());
    if (again.Get("REF_LINE_COLOR", "REF_LINE_CLR") != std::optional<std::string>("0xff8000")) {
        __builtin_trap();
    }
    if (again.Get("COM_PORT", "COM_PORT") != port) {
        __builtin_trap();
    }
    return 0;
}
