#include "forms/FileForms.h"

#include <cderr.h>
#include <commdlg.h>

#include <cstring>

#include "notice/UserNotice.h"
#include "storage/DISK.h"
#include "ui/CApp.h"

const char* const recorderFileFilters[] = {
    "Recorder files (*.DC*;*.ALM)", "*.DC*;*.ALM", "Data files (*.DC*)", "*.DC*", "All files (*.*)", "*.*",
    "Pen (*.DT*)", "*.DT*", "Alarm/Event Files (*.ALM)", "*.ALM", nullptr,
};
const char* const allFilesFilter[] = {"All files (*.*)", "*.*", nullptr};

namespace {

constexpr DWORD ExplorerNoReadOnly = 0x80004;  // OFN_EXPLORER | OFN_HIDEREADONLY
constexpr const char* AnyFile = "*.*";

int filterCount(FilterList filters) {
    int pairs = 0;
    while (filters && filters[2 * pairs] && filters[2 * pairs + 1]) ++pairs;
    return pairs;
}

}  // namespace

std::string filterString(FilterList filters) {
    std::string out;
    if (!filterCount(filters)) {
        out.append("All files (*.*)").push_back('\0');
        out.append(AnyFile).push_back('\0');
    } else {
        for (FilterList p = filters; *p; ++p) out.append(*p).push_back('\0');
    }
    out.push_back('\0');
    return out;
}

std::string initialFileName(FilterList filters, int filterIndex, const char* initialName) {
    if (initialName && *initialName) return initialName;
    if (filterIndex >= 1 && filterIndex <= filterCount(filters)) return filters[2 * filterIndex - 1];
    return AnyFile;
}

FileForm::FileForm(bool save, HWND owner, const char* title, FilterList filters, int index, DWORD options,
                   const char* initialName) {
    HWND foreground = GetForegroundWindow();
    bool disabledForeground = false;
    if (!owner) {
        owner = App.mainHandle();
        // A form with no owner keeps the window the user was in from
        // taking input while it is up.
        if (foreground && foreground != owner) disabledForeground = EnableWindow(foreground, FALSE) == 0;
    }
    const std::string filter = filterString(filters);
    const std::string start = initialFileName(filters, index, initialName);
    std::strncpy(fileName, start.c_str(), FileNameCapacity - 1);

    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(index);
    ofn.lpstrFile = fileName;
    ofn.nMaxFile = FileNameCapacity;
    ofn.lpstrTitle = title;
    ofn.Flags = options | ExplorerNoReadOnly;
    const BOOL ok = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
    tooLong = ok ? !nameListFits(fileName, sizeof fileName) : CommDlgExtendedError() == FNERR_BUFFERTOOSMALL;
    if (ok && !tooLong) {
        chosen = 1;
    } else {
        std::memset(fileName, 0, sizeof fileName);
    }
    filterIndex = static_cast<int>(ofn.nFilterIndex);
    if (disabledForeground) EnableWindow(foreground, TRUE);
}

int chooseFileName(unsigned mode, FilterList filters, int filterIndex, char* buffer) {
    std::memset(buffer, 0, FileNameCapacity);
    const DWORD options = (mode & ModeMultiple) ? AllowMultiple : 0;
    auto form = std::make_unique<FileOpenForm>(nullptr, "Read From", filters, filterIndex, options, buffer);
    // A cut answer would open a piece of a name and drop the files after it.
    if (form->tooLong) showError("The selection is too long; choose fewer files at a time.");
    if (!form->chosen) return 0;
    if (mode & ModeMultiple) {
        std::memcpy(buffer, form->fileName, FileNameCapacity);
        buffer[FileNameCapacity - 1] = '\0';
        buffer[FileNameCapacity - 2] = '\0';
    } else {
        const std::size_t n = strnlen(form->fileName, FileNameCapacity - 2);
        std::memcpy(buffer, form->fileName, n);
        buffer[n] = buffer[n + 1] = '\0';
    }
    return 1;
}

std::vector<std::string> splitNameList(const char* buffer, std::size_t size) {
    std::vector<std::string> out;
    std::size_t at = 0;
    while (at < size && buffer[at]) {
        const std::size_t n = strnlen(buffer + at, size - at);
        out.emplace_back(buffer + at, n);
        at += n + 1;
    }
    return out;
}

bool nameListFits(const char* buffer, std::size_t size) {
    std::size_t at = 0;
    while (at < size && buffer[at]) at += strnlen(buffer + at, size - at) + 1;
    return at + 1 < size;
}

std::string joinPath(const std::string& directory, const std::string& name) {
    if (!directory.empty() && (directory.back() == '\\' || directory.back() == '/')) return directory + name;
    return directory + "\\" + name;
}

std::string takeNextPath(const std::vector<std::string>& answer, PendingNames* pending) {
    if (answer.empty()) {
        if (pending) pending->clear();
        return {};
    }
    if (answer.size() == 1) {
        if (pending) pending->clear();
        return answer[0];
    }
    if (pending) {
        if (answer.size() >= 3) {
            PendingNames rest{answer[0]};
            rest.insert(rest.end(), answer.begin() + 2, answer.end());
            *pending = std::move(rest);
        } else {
            pending->clear();
        }
    }
    return joinPath(answer[0], answer[1]);
}

std::unique_ptr<File> openRecorderFile(unsigned mode, FilterList filters, int filterIndex, PendingNames* pending,
                                       const FileChooser& choose) {
    std::vector<std::string> answer;
    if (pending && !pending->empty()) {
        answer = *pending;
    } else {
        std::vector<char> work(FileNameCapacity);
        if (!choose || !choose(mode, filters, filterIndex, work.data())) {
            if (pending) pending->clear();
            return nullptr;
        }
        answer = splitNameList(work.data(), work.size());
    }
    const std::string path = takeNextPath(answer, pending);
    if (path.empty()) return nullptr;
    return std::make_unique<File>(std::make_unique<DISK>(path));
}
