#include "support/python_reader.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace ambrel::test {

namespace {

// Python prints each field as hex of its UTF-8 bytes, a line per record, fields separated by
// spaces (an empty field as "-"), so no byte of a field can be mistaken for a separator.
constexpr const char* kPrintRows =
    "def put(rows):\n"
    "    for row in rows:\n"
    "        print(' '.join(f.encode('utf-8').hex() or '-' for f in row))\n";

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string FromHex(const std::string& hex) {
    if (hex == "-") return {};
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

}  // namespace

std::string CommandOutput(const std::string& command) {
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) throw std::runtime_error("cannot run: " + command);
    std::string output;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, n);
    if (::pclose(pipe) != 0) throw std::runtime_error("failed: " + command);
    return output;
}

namespace {

Rows RunPython(const std::string& script, const std::vector<std::string>& args) {
    std::string command = "python3 -c " + Quoted(std::string(kPrintRows) + script);
    for (const std::string& arg : args) command += " " + Quoted(arg);
    const std::string output = CommandOutput(command);
    Rows rows;
    std::size_t start = 0;
    while (start < output.size()) {
        const std::size_t end = output.find('\n', start);
        const std::string line = output.substr(start, end - start);
        std::vector<std::string> row;
        for (std::size_t field = 0; field <= line.size();) {
            const std::size_t space = std::min(line.find(' ', field), line.size());
            if (space > field) row.push_back(FromHex(line.substr(field, space - field)));
            field = space + 1;
        }
        rows.push_back(std::move(row));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return rows;
}

}  // namespace

Rows ReadCsvWithPython(const std::string& path) {
    return RunPython(
        "import csv, sys\n"
        "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
        "    put(list(csv.reader(f)))\n",
        {path});
}

Rows ReadJsonWithPython(const std::string& path, const std::vector<std::string>& keys) {
    std::vector<std::string> args = {path};
    args.insert(args.end(), keys.begin(), keys.end());
    return RunPython(
        "import json, sys\n"
        "with open(sys.argv[1], encoding='utf-8') as f:\n"
        "    records = json.load(f)\n"
        "put([[r.get(k, '<missing>') for k in sys.argv[2:]] for r in records])\n",
        args);
}

}  // namespace ambrel::test
