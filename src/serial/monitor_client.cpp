#include "serial/monitor_client.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "serial/monitor_text.h"

namespace vantu {
namespace {

// Room for the echo and a few reply lines.
constexpr std::size_t kReplyCapacity = 1024;
constexpr std::size_t kPageBytes = 256;
constexpr std::uint32_t kFlashPage = 256;

std::string Format(const char* format, auto... values) {
    char text[64];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

// Position after the first line end; npos when there is none.
std::size_t AfterFirstLine(const std::string& reply) {
    const std::size_t newline = reply.find('\n');
    return newline == std::string::npos ? newline : newline + 1;
}

std::size_t EndBefore(const std::string& reply, std::size_t tail) {
    return reply.size() > tail ? reply.size() - tail : 0;
}

}  // namespace

MonitorClient::MonitorClient(SerialPort& port, Clock& clock, std::ostream& console)
    : port_(port), clock_(clock), console_(console) {}

std::string MonitorClient::Exchange(std::string_view request, int allowance_ms,
                                    std::size_t capacity) {
    port_.SendCommand(request);
    port_.WaitReply(port_.reply_wait() + allowance_ms);
    return port_.ReadReply(capacity);
}

int MonitorClient::Transact(std::string_view request) {
    std::string reply = Exchange(request, 10, kReplyCapacity);
    return SplitReply(reply, request, tokens_);
}

int MonitorClient::EchoOnlyResult(std::string_view request) {
    return Transact(request) == -1 ? 1 : 0;
}

int MonitorClient::ReadMonitorVersion() {
    if (Transact("V") != 2) {
        return -1;
    }
    const std::string& line = tokens_[1];
    const std::size_t dot = line.find('.');
    if (dot == std::string::npos || dot < 3) {
        return -1;
    }
    version_.name = line.substr(0, dot - 3);
    version_.major = line[dot - 1] - '0';
    version_.minor = std::atoi(line.c_str() + dot + 1);
    return 0;
}

std::uint32_t MonitorClient::MonitorRead(std::uint32_t address) {
    if (Transact(Format("MR %.4X", address)) < 2) {
        return 0;
    }
    return HexField(tokens_[1], 18, 10);
}

int MonitorClient::MonitorWrite(std::uint32_t address, std::uint32_t value) {
    return EchoOnlyResult(Format("MW %X %X", address, value));
}

int MonitorClient::MonitorFill2(std::uint32_t first, std::uint32_t second, std::uint32_t third) {
    return EchoOnlyResult(Format("MF2 %X %X %X", first, second, third));
}

int MonitorClient::MonitorFillPage(std::uint32_t address, std::span<const std::uint8_t, 256> data,
                                   bool reversed) {
    port_.SendCommand(Format("MF1 %X", address));
    for (std::size_t group = 0; group < kPageBytes; group += 4) {
        const std::uint8_t* b = &data[group];
        port_.SendRaw(true, reversed ? Format("%.2X%.2X%.2X%.2X", b[3], b[2], b[1], b[0])
                                     : Format("%.2X%.2X%.2X%.2X", b[0], b[1], b[2], b[3]));
    }
    port_.WaitReply(port_.reply_wait() + (reversed ? 20 : 10));
    port_.ReadReply(kReplyCapacity);
    return 0;
}

std::size_t MonitorClient::MonitorFillBlock(std::uint32_t address,
                                            std::span<const std::uint8_t> data, bool words) {
    std::size_t last = 0;
    for (std::size_t page = 0; page < data.size(); page += kPageBytes) {
        port_.SendCommand(Format("MF1 %X", address + static_cast<std::uint32_t>(page)));
        std::string text;
        for (std::size_t i = 0; i < kPageBytes; ++i) {
            const std::size_t source = words ? (i & ~std::size_t{3}) + 3 - (i & 3) : i;
            const std::size_t at = page + source;
            text += Format("%.2X", at < data.size() ? data[at] : 0);
        }
        port_.SendRaw(true, text);
        port_.WaitReply(port_.reply_wait() + 10);
        last = port_.ReadReply(kReplyCapacity).size();
    }
    return last;
}

std::size_t MonitorClient::MonitorDumpBytes(std::uint32_t address, std::size_t length,
                                            std::span<std::uint8_t> out) {
    const std::size_t rounded = length / 16 * 16;
    const std::string reply = Exchange(Format("MD1 %X %X", address, static_cast<unsigned>(rounded)),
                                       10, 2 * rounded + 64);
    const std::size_t first = AfterFirstLine(reply);
    if (first == std::string::npos) {
        return 0;
    }
    return HexPairs(reply, first, EndBefore(reply, 4), out.first(std::min(out.size(), rounded)));
}

std::size_t MonitorClient::MonitorDumpWords(std::uint32_t address, std::size_t length,
                                            std::span<std::uint32_t> out) {
    const std::size_t rounded = length / 16 * 16;
    const std::string request = Format("MD1 %X %X", address, static_cast<unsigned>(rounded));
    const std::size_t expected = 2 * length + 19;
    std::string reply = Exchange(request, 25, 2 * rounded + 64);
    if (reply.size() != expected) {
        reply = Exchange(request, 25, 2 * rounded + 64);
        if (reply.size() != expected) {
            console_ << ".";
        }
    }
    std::vector<std::uint8_t> bytes(std::min(out.size(), rounded / 4) * 4);
    const std::size_t first = AfterFirstLine(reply);
    if (first == std::string::npos) {
        return 0;
    }
    const std::size_t got = HexPairs(reply, first, EndBefore(reply, 4), bytes) / 4;
    for (std::size_t w = 0; w < got; ++w) {
        out[w] = static_cast<std::uint32_t>(bytes[4 * w]) << 24 |
                 static_cast<std::uint32_t>(bytes[4 * w + 1]) << 16 |
                 static_cast<std::uint32_t>(bytes[4 * w + 2]) << 8 | bytes[4 * w + 3];
    }
    return got;
}

int MonitorClient::MonitorFlashErase(std::uint32_t address) {
    port_.SendCommand(Format("FE %X", address));
    clock_.SleepMs(1000);
    if (port_.WaitReply(port_.reply_wait() + 2000) != 0) {
        console_ << "T";
    }
    port_.ReadReply(kReplyCapacity);
    return 0;
}

int MonitorClient::MonitorFlashWrite(std::uint32_t first, std::uint32_t second,
                                     std::uint32_t length) {
    const std::uint32_t rounded = length / kFlashPage * kFlashPage;
    if (rounded == 0) {
        return 1;
    }
    port_.SendCommand(Format("FW %X %X %X", first, second, rounded));
    clock_.SleepMs(2000);
    const int waited = port_.WaitReply(port_.reply_wait() + static_cast<int>(rounded / 128) + 1000);
    console_ << (waited != 0 ? "T" : ".");
    return port_.ReadReply(kReplyCapacity).empty() ? 1 : 0;
}

int MonitorClient::MonitorFlashLoad(std::uint32_t first, std::uint32_t second,
                                    std::uint32_t length) {
    port_.SendCommand(Format("FL %X %X %X", first, second, length));
    port_.WaitReply(port_.reply_wait() + static_cast<int>(length / 128) + 100);
    return port_.PollReply(kReplyCapacity).empty() ? 1 : 0;
}

int MonitorClient::MonitorChecksum(std::uint32_t first, std::uint32_t second,
                                   std::uint32_t expected, int delay_ms) {
    const std::string request = Format("MC %X %X", first, second);
    port_.SendCommand(request);
    clock_.SleepMs(delay_ms);
    port_.WaitReply(port_.reply_wait() + 10);
    std::string reply = port_.ReadReply(kReplyCapacity);
    const int count = SplitReply(reply, request, tokens_);
    if (count < 2) {
        return 1;
    }
    if (tokens_[1].starts_with("ERR")) {
        return -1;
    }
    return HexField(tokens_[1], 0, 10) == expected ? 0 : 2;
}

int MonitorClient::MonitorReset() {
    port_.SendCommand("R");
    port_.SendRaw(true, std::string(2, port_.terminator()));
    port_.WaitReply(port_.reply_wait() + 10);
    return 0;
}

std::size_t MonitorClient::ReadAllVersions(std::span<std::uint8_t> block,
                                           const SerialPort::BatchObserver& on_batch) {
    const std::size_t length = block.size() / 16 * 16;
    port_.SendCommand("SA");
    port_.SendCommand("DA");
    port_.WaitReply(port_.reply_wait() + 10);
    // SA's prompt may come well before DA's answer (a USB-UART pause): read to the second.
    const std::string reply = port_.ReadReply(2 * length + 64, on_batch, 2);
    return HexPairs(reply, 9, EndBefore(reply, 8), block.first(length));
}

}  // namespace vantu
