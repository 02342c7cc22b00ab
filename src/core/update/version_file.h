#pragma once

#include <optional>
#include <string>
#include <string_view>

// The version file of the update server: its first line reads "label:version", and the
// rest of the file is free text for the user.
namespace ambrel::update {

// This program's version, as the update check compares it with the server's.
inline constexpr char kProgramVersion[] = "2.00";

// The first line of the version file from its first colon on, the colon included, blanks
// kept; absent when that line has no colon (an empty file has an empty first line).
std::optional<std::string> LatestVersionOf(std::string_view version_file);

// Compares two version numbers: whole numbers joined by dots ("2.01", "10"), blanks before
// and after the whole number ignored. Parts compare as numbers of any length ("2.01" is
// "2.1"), and missing parts count as zero ("2" equals "2.0"). Negative when a is older,
// zero when equal, positive when a is newer; absent when either is not a version number.
std::optional<int> CompareVersions(std::string_view a, std::string_view b);

}  // namespace ambrel::update
