#include "remote/remote_access.h"

#include <arpa/inet.h>

#include <charconv>
#include <cstring>

namespace vantu {
namespace {

constexpr std::size_t kMappedPrefixBytes = 12;
constexpr int kMappedPrefixBits = 96;

bool IsMapped(const Address16& address) {
    static constexpr std::uint8_t kMapped[kMappedPrefixBytes] = {0, 0, 0, 0, 0,    0,
                                                                 0, 0, 0, 0, 0xFF, 0xFF};
    return std::memcmp(address.data(), kMapped, kMappedPrefixBytes) == 0;
}

std::string_view Trimmed(std::string_view text) {
    const std::size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string_view::npos) {
        return {};
    }
    return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

bool MatchesPrefix(const AddressPrefix& prefix, const Address16& client) {
    const int whole = prefix.bits / 8;
    const int rest = prefix.bits % 8;
    if (std::memcmp(prefix.address.data(), client.data(), static_cast<std::size_t>(whole)) != 0) {
        return false;
    }
    const auto mask = static_cast<std::uint8_t>(0xFF << (8 - rest));
    return rest == 0 || ((prefix.address[static_cast<std::size_t>(whole)] ^
                          client[static_cast<std::size_t>(whole)]) &
                         mask) == 0;
}

}  // namespace

std::optional<Address16> ParseAddress(std::string_view text) {
    const std::string name(text);
    Address16 address{};
    in_addr v4{};
    if (::inet_pton(AF_INET, name.c_str(), &v4) == 1) {
        address[10] = 0xFF;
        address[11] = 0xFF;
        std::memcpy(address.data() + kMappedPrefixBytes, &v4, sizeof v4);
        return address;
    }
    if (::inet_pton(AF_INET6, name.c_str(), address.data()) == 1) {
        return address;
    }
    return std::nullopt;
}

std::optional<AddressPrefix> ParsePrefix(std::string_view text) {
    const std::size_t slash = text.find('/');
    const std::optional<Address16> address = ParseAddress(text.substr(0, slash));
    if (!address) {
        return std::nullopt;
    }
    const bool v4 = IsMapped(*address) && text.substr(0, slash).find(':') == std::string_view::npos;
    AddressPrefix prefix{*address, 128};
    if (slash == std::string_view::npos) {
        return prefix;
    }
    const std::string_view bits = text.substr(slash + 1);
    int length = -1;
    const auto [end, error] = std::from_chars(bits.data(), bits.data() + bits.size(), length);
    const int limit = v4 ? 32 : 128;
    if (error != std::errc() || end != bits.data() + bits.size() || length < 0 || length > limit) {
        return std::nullopt;
    }
    prefix.bits = v4 ? kMappedPrefixBits + length : length;
    return prefix;
}

RemoteAccess ReadRemoteAccess(const IniFile& ini, std::vector<std::string>& errors) {
    RemoteAccess access;
    if (auto address = ini.Get("REMOTE", "ADDRESS"); address && !address->empty()) {
        access.address = *address;
    }
    const std::optional<std::string> allow = ini.Get("REMOTE", "ALLOW");
    if (!allow || Trimmed(*allow).empty()) {
        return access;
    }
    access.allow.emplace();
    std::string_view rest = *allow;
    while (!rest.empty()) {
        const std::size_t comma = rest.find_first_of(",;");
        const std::string_view entry = Trimmed(rest.substr(0, comma));
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
        if (entry.empty()) {
            continue;
        }
        if (auto prefix = ParsePrefix(entry)) {
            access.allow->push_back(*prefix);
        } else {
            errors.push_back("[REMOTE] ALLOW entry is not an address or prefix: \"" +
                             std::string(entry) + "\"");
        }
    }
    return access;
}

bool IsAllowed(const RemoteAccess& access, const Address16& client) {
    if (!access.allow) {
        return true;
    }
    for (const AddressPrefix& prefix : *access.allow) {
        if (MatchesPrefix(prefix, client)) {
            return true;
        }
    }
    return false;
}

std::string AddressText(const Address16& address) {
    char text[INET6_ADDRSTRLEN] = {};
    if (IsMapped(address)) {
        ::inet_ntop(AF_INET, address.data() + kMappedPrefixBytes, text, sizeof text);
    } else {
        ::inet_ntop(AF_INET6, address.data(), text, sizeof text);
    }
    return text;
}

}  // namespace vantu
