// Who may command the station and where it listens: setup.ini's [REMOTE] ADDRESS (the
// address to listen on; "::" takes IPv6 and IPv4 clients) and ALLOW (client addresses
// or prefixes, "192.168.10.0/24, 10.0.0.5, fe80::/10"). Without them the server listens
// on every IPv4 address and serves anyone.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/ini_file.h"

namespace vantu {

// IPv4 addresses are held IPv4-mapped, so one prefix type serves both families.
using Address16 = std::array<std::uint8_t, 16>;

struct AddressPrefix {
    Address16 address{};
    int bits = 128;
};

struct RemoteAccess {
    std::string address = "0.0.0.0";
    // nullopt: anyone; an ALLOW whose entries all fail to parse lets nobody in.
    std::optional<std::vector<AddressPrefix>> allow;
};

// "10.0.0.5" (a 128-bit IPv4-mapped address) or "fe80::1" as 16 bytes.
std::optional<Address16> ParseAddress(std::string_view text);
// An entry of ALLOW; a bare address is a whole-address prefix.
std::optional<AddressPrefix> ParsePrefix(std::string_view text);
// The [REMOTE] keys; entries of ALLOW that do not parse are named in `errors`.
RemoteAccess ReadRemoteAccess(const IniFile& ini, std::vector<std::string>& errors);
bool IsAllowed(const RemoteAccess& access, const Address16& client);
// The address as a client is listed: dotted IPv4 for a mapped address.
std::string AddressText(const Address16& address);

}  // namespace vantu
