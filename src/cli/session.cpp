#include "cli/session.h"

#include <cerrno>
#include <cstring>

#include "cli/arguments.h"
#include "errors/error_log.h"
#include "files/named_path.h"
#include "files/result_codes.h"
#include "platform/paths.h"
#include "tag/tag_list.h"

namespace ambrel::cli {

Session::Session(std::FILE* out, std::FILE* err)
    : out_(out), err_(err), prompter_(err), library_(&prompter_) {
    library_.CreateModel(paths::ExecutableDirectory(), nullptr);
}

std::vector<std::string> Session::Paths(const std::vector<std::string>& operands,
                                        std::string_view what) {
    if (operands.empty()) throw UsageError("no " + std::string(what) + " given");
    std::vector<std::string> absolute;
    absolute.reserve(operands.size());
    for (const std::string& operand : operands) absolute.push_back(paths::Absolute(operand));
    return absolute;
}

ambrel::TTagFile* Session::AddFile(const std::string& path) {
    const NamedPath kind = ClassifyNamedPath(path);
    if (kind != NamedPath::kMp3File) {
        // A folder is no file to tag, whatever its name.
        Fail(path, kind == NamedPath::kDirectory ? kNotMp3File : NamedPathCode(kind));
        return nullptr;
    }
    List().Add(path);
    return List().Get(List().Count() - 1);
}

std::string Session::MessageText(int code) { return library_.ErrorLog()->MessageText(code); }

void Session::Fail(const std::string& path, int code) { Fail(path, MessageText(code)); }

void Session::Fail(const std::string& path, const std::string& text) {
    ++failures_;
    Warn(path, text);
}

void Session::Warn(const std::string& path, const std::string& text) {
    std::fprintf(err_, "ambrel-cli: %s: %s\n", path.c_str(), text.c_str());
}

int Session::ExitStatus() {
    // A full disk or a closed pipe shows only when the buffered output is flushed.
    if (std::fflush(out_) != 0 || std::ferror(out_)) {
        std::fprintf(err_, "ambrel-cli: standard output: %s\n", std::strerror(errno));
        return 1;
    }
    return failures_ == 0 ? 0 : 1;
}

}  // namespace ambrel::cli
