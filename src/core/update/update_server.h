#pragma once

#include <string>
#include <string_view>

// Where the update server is and which addresses the program may fetch from.
namespace ambrel::update {

// The project's update server; mirrors and tests name another one in AMBREL_UPDATE_URL.
inline constexpr std::string_view kUpdateServer = "https://www.pendrake.com";
inline constexpr char kUpdateServerVariable[] = "AMBREL_UPDATE_URL";
inline constexpr std::string_view kVersionPath = "/data/ambrel_version_free.txt";
inline constexpr std::string_view kDownloadListPath = "/data/download_version.txt";
inline constexpr std::string_view kDownloadPath = "/download/";

// The server address to use: the given override unless it is empty, else kUpdateServer;
// without trailing '/', so that the paths above can follow it.
std::string UpdateServerAddress(std::string_view override_address);

// 127.0.0.0/8 as a dotted quad, ::1 (bare or in brackets) and "localhost" (any case).
bool IsLoopbackHost(std::string_view host);
// Only HTTPS goes out: plain HTTP is allowed to a loopback host alone, where nothing
// crosses a network. The scheme is compared without regard to letter case.
bool IsPermittedAddress(std::string_view scheme, std::string_view host);

}  // namespace ambrel::update
