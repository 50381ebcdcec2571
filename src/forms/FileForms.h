#pragma once
// One-question forms over the platform's open-file and save-file dialogs,
// and the routines that choose recorder files with them.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "data/File.h"

// Pairs of (description, pattern), ended by a null pointer.
using FilterList = const char* const*;
extern const char* const recorderFileFilters[];
extern const char* const allFilesFilter[];

// Room for the largest selection a user can make: the platform names the
// size a longer one would need in two bytes, so it cannot ask for more.
inline constexpr std::size_t FileNameCapacity = 0xFFFF;
inline constexpr unsigned ModeMultiple = 0x80;
inline constexpr DWORD AskBeforeOverwrite = 0x0002;  // OFN_OVERWRITEPROMPT
inline constexpr DWORD AllowMultiple = 0x0200;       // OFN_ALLOWMULTISELECT

class FileForm {
public:
    FileForm(const FileForm&) = delete;
    FileForm& operator=(const FileForm&) = delete;

    // The chosen path, or with several files the list form: the directory
    // and each name, each ended by a NUL, then an empty string.
    char fileName[FileNameCapacity] = {};
    int chosen = 0;
    int filterIndex = 0;
    // The answer did not fit in fileName (chosen stays 0).
    bool tooLong = false;

protected:
    // Shows the dialog at once; returns when the user has closed it.
    FileForm(bool save, HWND owner, const char* title, FilterList filters, int filterIndex, DWORD options,
             const char* initialName);
};

class FileOpenForm : public FileForm {
public:
    FileOpenForm(HWND owner, const char* title, FilterList filters, int filterIndex, DWORD options,
                 const char* initialName)
        : FileForm(false, owner, title, filters, filterIndex, options, initialName) {}
};

class FileSaveAsForm : public FileForm {
public:
    FileSaveAsForm(HWND owner, const char* title, FilterList filters, int filterIndex, DWORD options,
                   const char* initialName)
        : FileForm(true, owner, title, filters, filterIndex, options, initialName) {}
};

// The platform's filter string: every text followed by a NUL, and one more.
std::string filterString(FilterList filters);
// The name a form starts with: the given one, else the pattern of the
// chosen filter, else "*.*".
std::string initialFileName(FilterList filters, int filterIndex, const char* initialName);

// Asks in the "Read From" form; the answer goes to `buffer` (at least
// FileNameCapacity bytes) in list form. 1 when a name was chosen; a
// selection too long for the buffer is refused with a message.
int chooseFileName(unsigned mode, FilterList filters, int filterIndex, char* buffer);

// The names of a multiple selection still to open: the directory first,
// then the names, as the dialog gave them.
using PendingNames = std::vector<std::string>;

// The strings of a dialog answer in list form, up to the empty one.
std::vector<std::string> splitNameList(const char* buffer, std::size_t size);
// True when an answer in list form ends, with its empty string, before
// the last byte of its buffer: one that runs to the end may have been cut.
bool nameListFits(const char* buffer, std::size_t size);
// The directory and a name in it, with one backslash between.
std::string joinPath(const std::string& directory, const std::string& name);
// The path to open from an answer list; the rest goes to `pending`.
std::string takeNextPath(const std::vector<std::string>& answer, PendingNames* pending);

using FileChooser = std::function<int(unsigned mode, FilterList filters, int filterIndex, char* buffer)>;

// The next recorder file: from `pending` while it holds names, else from
// the "Read From" form. Null when the user cancelled.
std::unique_ptr<File> openRecorderFile(unsigned mode, FilterList filters, int filterIndex, PendingNames* pending,
                                       const FileChooser& choose = chooseFileName);
