#include "tag/file_item.h"

#include <atomic>
#include <cerrno>

#include "platform/paths.h"
#include "tag/text_helpers.h"

namespace ambrel {

uint64_t TFileItem::NextSerial() {
    // Items may be made on a loading thread too.
    static std::atomic<uint64_t> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}

void TFileItem::SetPath(std::optional<std::string_view> path) {
    if (!path) return;
    path_.assign(path->data(), path->size());
    DeriveName();
    DeriveFolderName();
}

int TFileItem::Rename(std::optional<std::string_view> new_file_name, int* error) {
    int ignored = 0;
    int& result = error ? *error : ignored;
    result = EINVAL;
    if (!new_file_name || !paths::IsPlainFileName(*new_file_name)) return 0;
    // A path without a separator names a file in the working directory; the new name
    // stays there too.
    const std::string directory = paths::DirectoryOf(path_);
    const std::string new_path =
        directory.empty() ? std::string(*new_file_name) : paths::Join(directory, *new_file_name);
    result = paths::RenameNoReplace(path_, new_path);
    if (result != 0) return 0;
    path_ = new_path;
    DeriveName();
    return 1;
}

std::string TFileItem::GetFileName() const { return paths::FileNameOf(path_); }

void TFileItem::DeriveName() {
    const auto separator = path_.rfind(paths::kSeparator);
    const auto dot = path_.rfind('.');
    if (separator == std::string::npos || dot == std::string::npos || dot < separator) {
        name_.clear();
        return;
    }
    name_ = path_.substr(separator + 1, dot - separator - 1);
}

void TFileItem::DeriveFolderName() {
    const auto separator = path_.rfind(paths::kSeparator);
    if (separator == std::string::npos) {
        folder_name_.clear();
        return;
    }
    // The directory without its trailing separator; a file in the root leaves no
    // further separator, so no folder name.
    std::optional<std::string> folder =
        LastPathComponent(std::string_view(path_).substr(0, separator));
    folder_name_ = folder ? std::move(*folder) : std::string();
}

}  // namespace ambrel
