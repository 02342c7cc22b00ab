#pragma once

#include <string>
#include <vector>

// Files read back by Python's own parsers, so a format is checked against a reader that was
// not written with it.
namespace ambrel::test {

using Rows = std::vector<std::vector<std::string>>;

// The records of a CSV file as Python's csv module reads it (UTF-8), each field as its
// UTF-8 bytes.
Rows ReadCsvWithPython(const std::string& path);

// The objects of a JSON array as Python's json module reads it, each as the values of the
// keys given, in their order (a missing key gives "<missing>").
Rows ReadJsonWithPython(const std::string& path, const std::vector<std::string>& keys);

// What a shell command prints on its standard output; throws when it cannot be run or
// exits with a status other than 0.
std::string CommandOutput(const std::string& command);

}  // namespace ambrel::test
