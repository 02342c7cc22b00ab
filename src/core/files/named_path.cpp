#include "files/named_path.h"

#include <sys/stat.h>

#include <cerrno>

#include "files/result_codes.h"
#include "tag/tag_list.h"

namespace ambrel {

NamedPath ClassifyNamedPath(const std::string& path) {
    if (path.empty()) return NamedPath::kMissing;
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        return errno == ENAMETOOLONG ? NamedPath::kTooLong : NamedPath::kMissing;
    if (S_ISDIR(st.st_mode)) return NamedPath::kDirectory;
    if (!TTagList::IsMp3Path(path)) return NamedPath::kNotMp3;
    return S_ISREG(st.st_mode) ? NamedPath::kMp3File : NamedPath::kNotRegular;
}

int NamedPathCode(NamedPath kind) {
    switch (kind) {
        case NamedPath::kMissing:
            return kSourceMissing;
        case NamedPath::kTooLong:
            return kPathsTooLong;
        case NamedPath::kNotMp3:
            return kNotMp3File;
        case NamedPath::kNotRegular:
            return kNotRegularFile;
        case NamedPath::kDirectory:
        case NamedPath::kMp3File:
            break;
    }
    return kDone;
}

}  // namespace ambrel
