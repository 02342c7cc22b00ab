#pragma once

#include <optional>
#include <string>
#include <string_view>

// The download list of the update server: somewhere in it a line "Ambrel 2" (any letter
// case) marks this program's entry, and the next line names its installer.
namespace ambrel::update {

// The line after the first marker line; absent when there is no marker or it is the last
// line. Lines end at "\n", "\r\n" or a lone "\r"; a final line end starts no further line.
std::optional<std::string> InstallerNameOf(std::string_view download_list);

// A name the installer may be saved and started under: a plain file name, with no
// separator of any system ('/' or '\'), not "." or "..", not empty, no control character.
bool IsInstallerName(std::string_view name);

}  // namespace ambrel::update
