// The QDX-A firmware's monitor as the simulator plays it: every received character is
// echoed (a carriage return as CR LF), a complete line runs as a command, and the
// answer ends with the prompt ">". It keeps a small memory, a flash and the module
// version table of the antenna, where absent modules report nothing.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantu {

inline constexpr std::size_t kFirmwareMemoryBytes = 64 * 1024;
inline constexpr std::size_t kFirmwareFlashBytes = 1024 * 1024;
inline constexpr std::size_t kFirmwareSectorBytes = 64 * 1024;
inline constexpr std::size_t kFirmwareVersionBytes = 6272;
inline constexpr std::string_view kFirmwareBanner = "QDX-A FW V1.07";

class FirmwareMonitor {
  public:
    explicit FirmwareMonitor(const std::vector<int>& absent_modules);

    // Characters from the line; the characters the firmware sends back.
    std::string Receive(std::string_view input);

    const std::array<std::uint8_t, kFirmwareVersionBytes>& versions() const { return versions_; }

  private:
    std::string Execute(const std::string& line);
    std::string AcceptPageData(char c);
    std::string EraseLast();
    bool InMemory(std::uint64_t address, std::uint64_t length) const;
    bool InFlash(std::uint64_t address, std::uint64_t length) const;

    std::string line_;
    // "MF1": the page being received as hex digits.
    bool page_mode_ = false;
    std::uint32_t page_address_ = 0;
    std::string page_digits_;
    std::vector<std::uint8_t> memory_;
    std::vector<std::uint8_t> flash_;
    std::array<std::uint8_t, kFirmwareVersionBytes> versions_{};
};

}  // namespace vantu
