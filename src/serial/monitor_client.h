// The client side of the QDX-A firmware's monitor: requests in upper-case hex with
// blanks between the arguments, replies echoed, answered in text lines and closed by
// the prompt.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/ports.h"
#include "serial/serial_port.h"

namespace vantu {

struct FirmwareVersion {
    std::string name;
    int major = 0;
    int minor = 0;
};

// The size of the bulk version query's block.
inline constexpr std::size_t kVersionBlockBytes = 6272;

class MonitorClient {
  public:
    // clock: the long waits of the flash commands; console: their progress marks.
    MonitorClient(SerialPort& port, Clock& clock, std::ostream& console);

    // The token count of the reply (see SplitReply); the tokens stay in tokens().
    int Transact(std::string_view request);
    const std::vector<std::string>& tokens() const { return tokens_; }

    // 0 and version() set; -1 when the reply is not the echo and one version line.
    int ReadMonitorVersion();
    const FirmwareVersion& version() const { return version_; }

    std::uint32_t MonitorRead(std::uint32_t address);
    // 1 when only the echo came back, else 0.
    int MonitorWrite(std::uint32_t address, std::uint32_t value);
    int MonitorFill2(std::uint32_t first, std::uint32_t second, std::uint32_t third);
    // 256 bytes as 64 groups of 8 hex digits; reversed sends each group's bytes 3..0.
    int MonitorFillPage(std::uint32_t address, std::span<const std::uint8_t, 256> data,
                        bool reversed = false);
    // One "MF1" page per 256 bytes, the last one padded with "00"; words sends each
    // group of 4 bytes in the order 3..0. The byte count of the last reply.
    std::size_t MonitorFillBlock(std::uint32_t address, std::span<const std::uint8_t> data,
                                 bool words);
    // Dumps of length rounded down to 16 bytes; the number of bytes or words stored.
    std::size_t MonitorDumpBytes(std::uint32_t address, std::size_t length,
                                 std::span<std::uint8_t> out);
    std::size_t MonitorDumpWords(std::uint32_t address, std::size_t length,
                                 std::span<std::uint32_t> out);
    int MonitorFlashErase(std::uint32_t address);
    // Length rounded down to 256; 1 for a length below 256 (nothing sent) or no reply.
    int MonitorFlashWrite(std::uint32_t first, std::uint32_t second, std::uint32_t length);
    int MonitorFlashLoad(std::uint32_t first, std::uint32_t second, std::uint32_t length);
    // 0 when the firmware's sum equals expected, 2 when it differs, -1 for an error
    // reply (a data token starting "ERR"), 1 when no data token came back.
    int MonitorChecksum(std::uint32_t first, std::uint32_t second, std::uint32_t expected,
                        int delay_ms);
    int MonitorReset();
    // "SA" then "DA": the version block, byte by byte; the number of bytes stored.
    std::size_t ReadAllVersions(std::span<std::uint8_t> block,
                                const SerialPort::BatchObserver& on_batch = {});

  private:
    std::string Exchange(std::string_view request, int allowance_ms, std::size_t capacity);
    int EchoOnlyResult(std::string_view request);

    SerialPort& port_;
    Clock& clock_;
    std::ostream& console_;
    std::vector<std::string> tokens_;
    FirmwareVersion version_;
};

}  // namespace vantu
