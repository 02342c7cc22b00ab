#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ambrel {

// The identity of one file: its path as the caller gave it, the name and folder
// name derived from it, and its position in the tag list.
class TFileItem {
public:
    TFileItem() = default;

    // Ignored when absent. Stores the path and derives Name and FolderName from it.
    void SetPath(std::optional<std::string_view> path);
    // Renames the file on disk to new_file_name (name and extension) inside its own
    // directory. Never replaces an existing file; refuses an empty name, ".", ".." and a
    // name holding a separator. Only a successful rename changes Path and Name.
    // Returns 1 on success, 0 when refused or failed. When error is given it receives 0 on
    // success, EINVAL for a refused name, else the errno of the failed rename.
    int Rename(std::optional<std::string_view> new_file_name, int* error = nullptr);

    // A number no other item of this run has, given at construction and never changed: what
    // a record kept beyond the item's place in the list (an undo history) knows it by.
    // A copy carries the same serial.
    uint64_t Serial() const { return serial_; }

    void SetIndex(int32_t index) { index_ = index; }
    int32_t GetIndex() const { return index_; }
    const std::string& GetPath() const { return path_; }
    // The text strictly between the last separator and the last dot of the path;
    // empty (absent) when the path has no separator or no dot.
    const std::string& GetName() const { return name_; }
    // The last component of the file's directory; empty (absent) for a file in the root.
    const std::string& GetFolderName() const { return folder_name_; }
    // The text after the last separator: name with extension.
    std::string GetFileName() const;

private:
    static uint64_t NextSerial();
    void DeriveName();
    void DeriveFolderName();

    uint64_t serial_ = NextSerial();
    int32_t index_ = -1;
    std::string path_;
    std::string name_;
    std::string folder_name_;
};

}  // namespace ambrel
