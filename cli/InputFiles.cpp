#include "InputFiles.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "ConsoleNotice.h"

namespace fs = std::filesystem;

bool hasRecorderExtension(const std::string& path, RecorderKind kind) {
    std::string ext = fs::path(path).extension().string();
    for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return kind == RecorderKind::Data ? ext.rfind(".DC", 0) == 0 : ext == ".ALM";
}

namespace {

template <class Iterator>
bool collect(Iterator it, RecorderKind kind, std::vector<std::string>& found, std::error_code& ec) {
    for (const Iterator end; !ec && it != end; it.increment(ec)) {
        std::error_code typeEc;
        if (it->is_regular_file(typeEc) && hasRecorderExtension(it->path().string(), kind)) found.push_back(it->path().string());
    }
    return !ec;
}

}  // namespace

std::vector<std::string> expandInputs(const std::vector<std::string>& given, RecorderKind kind, bool recursive, ConsoleNotice& notice) {
    std::vector<std::string> files;
    for (const std::string& path : given) {
        std::error_code ec;
        if (!fs::is_directory(path, ec)) {
            files.push_back(path);
            continue;
        }
        notice.beginFile(path);
        std::vector<std::string> found;
        const auto options = fs::directory_options::skip_permission_denied;
        const bool listed = recursive ? collect(fs::recursive_directory_iterator(path, options, ec), kind, found, ec)
                                      : collect(fs::directory_iterator(path, options, ec), kind, found, ec);
        if (!listed) {
            notice.error("the directory could not be read: " + ec.message());
            continue;
        }
        if (found.empty()) {
            notice.error(kind == RecorderKind::Data ? "no data files (*.DC*) in this directory" : "no alarm/event files (*.ALM) in this directory");
            continue;
        }
        std::sort(found.begin(), found.end());
        files.insert(files.end(), found.begin(), found.end());
    }
    notice.beginFile("");
    return files;
}
