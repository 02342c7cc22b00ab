#include "update/update_server.h"

#include "tag/text_helpers.h"

namespace ambrel::update {

namespace {

std::string Lowered(std::string_view text) {
    std::string lowered(text);
    return ChangeCase(lowered, 2);
}

// A number of 0 to 255 in decimal, without a sign.
bool IsOctet(std::string_view text) {
    if (text.empty() || text.size() > 3) return false;
    int value = 0;
    for (char c : text) {
        if (!IsAsciiDigit(static_cast<unsigned char>(c))) return false;
        value = value * 10 + (c - '0');
    }
    return value <= 255;
}

bool IsLoopbackQuad(std::string_view host) {
    int octets = 0;
    while (true) {
        const std::size_t dot = host.find('.');
        const std::string_view octet = host.substr(0, dot);
        if (!IsOctet(octet) || (octets == 0 && octet != "127")) return false;
        ++octets;
        if (dot == std::string_view::npos) return octets == 4;
        host.remove_prefix(dot + 1);
    }
}

}  // namespace

std::string UpdateServerAddress(std::string_view override_address) {
    std::string_view address = override_address.empty() ? kUpdateServer : override_address;
    while (!address.empty() && address.back() == '/') address.remove_suffix(1);
    return std::string(address);
}

bool IsLoopbackHost(std::string_view host) {
    const std::string lowered = Lowered(host);
    return lowered == "localhost" || lowered == "::1" || lowered == "[::1]" ||
           IsLoopbackQuad(lowered);
}

bool IsPermittedAddress(std::string_view scheme, std::string_view host) {
    const std::string lowered = Lowered(scheme);
    if (lowered == "https") return !host.empty();
    return lowered == "http" && IsLoopbackHost(host);
}

}  // namespace ambrel::update
