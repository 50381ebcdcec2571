#include "app/GuiExportCommand.h"

#include <memory>
#include <string>

#include "events/EventExport.h"
#include "events/EventFile.h"
#include "forms/DisplayForm.h"
#include "forms/ExportForm.h"
#include "forms/FileForms.h"
#include "notice/UserNotice.h"
#include "storage/DISK.h"
#include "ui/CApp.h"

namespace {

constexpr int RecorderFilterIndex = 1;
constexpr std::uint8_t OpenHeaderAndSamples = 0x03;
// Names listed in the question about data files left out.
constexpr std::size_t LeftOutShown = 10;

void exportEventFile(EventFile& events, const std::vector<std::string>& inputs) {
    runDisplayForm();  // its answer does not stop the export
    auto form = std::make_unique<FileSaveAsForm>(App.mainHandle(), "Alarm/Event Export Filename", allFilesFilter, 1,
                                                 AskBeforeOverwrite, nullptr);
    if (!form->chosen || refuseInputAsOutput(form->fileName, inputs)) return;
    const std::string name = form->fileName;
    App.setStatus(exportEvents(events, name)
                      ? "Exported " + std::to_string(events.count) + " events to " + name + "."
                      : "Export failed: nothing written.");
}

// Closing each file reports what loading its later blocks met.
void closeAll(std::vector<dFileIt>& items) {
    for (dFileIt& item : items) {
        const IO* io = item.file->stream();
        const std::string path = io && io->name() ? io->name() : "";
        NoticeSource source(path.c_str());
        item.file->close();
    }
}

}  // namespace

bool goOnWithout(const std::vector<std::string>& leftOut, const char* what, const char* caption) {
    std::string text = "At most " + std::to_string(MaxExportFiles) + " data files go into one " + what + ". Left out:";
    for (std::size_t i = 0; i < leftOut.size() && i < LeftOutShown; ++i)
        text.append("\n").append(leftOut[i], leftOut[i].find_last_of("\\/") + 1);
    if (leftOut.size() > LeftOutShown) text.append("\nand ").append(std::to_string(leftOut.size() - LeftOutShown)).append(" more");
    text.append("\n").append(caption).append(" the first ").append(std::to_string(MaxExportFiles)).append("?");
    return showMessage(text, caption, BoxType::YesNo | BoxType::IconQuestion) != 0;
}

std::shared_ptr<DataFile> openDataFile(std::unique_ptr<File> file) {
    auto data = std::make_shared<DataFile>(std::move(file));
    data->open(0, OpenHeaderAndSamples);
    return data;
}

void exportSpanOf(const std::vector<std::string>& paths, CTime start, CTime end) {
    std::vector<dFileIt> items;
    for (const std::string& path : paths) {
        auto file = std::make_unique<File>(std::make_unique<DISK>(path));
        NoticeSource source(path.c_str());
        if (!identifyFile(*file)) continue;
        if (std::shared_ptr<DataFile> data = openDataFile(std::move(file)); data->hasBlocks()) items.emplace_back(data);
    }
    if (!items.empty()) exportDataFiles(items.data(), static_cast<int>(items.size()), start, end, paths);
    closeAll(items);
}

bool spanOf(const std::vector<dFileIt>& items, CTime& first, CTime& last) {
    bool any = false;
    for (const dFileIt& item : items) {
        DataFileIter probe = item.iter;
        probe.reset();
        const CTime begin = probe.time;
        probe.toEnd(true);
        if (!any || begin < first) first = begin;
        if (!any || probe.time > last) last = probe.time;
        any = true;
    }
    return any;
}

void runExportCommand() {
    PendingNames pending;
    std::vector<dFileIt> items;
    items.reserve(MaxExportFiles);
    // Every file of the selection, so that none is chosen as an output.
    std::vector<std::string> inputs;
    // Data files past the most one export takes: named before it starts.
    std::vector<std::string> leftOut;

    do {
        std::unique_ptr<File> file =
            openRecorderFile(ModeMultiple, recorderFileFilters, RecorderFilterIndex, &pending);
        if (!file) break;
        if (inputs.empty())
            for (std::size_t i = 1; i < pending.size(); ++i) inputs.push_back(joinPath(pending[0], pending[i]));
        const std::string path = file->stream->name();
        inputs.push_back(path);
        std::unique_ptr<EventFile> events;
        {
            // Messages while it is read name the file.
            NoticeSource source(path.c_str());
            if (!identifyFile(*file)) continue;
            if (file->header.isDataFile()) {
                if (items.size() == static_cast<std::size_t>(MaxExportFiles)) {
                    leftOut.push_back(path);
                    continue;
                }
                if (std::shared_ptr<DataFile> data = openDataFile(std::move(file)); data->hasBlocks()) items.emplace_back(data);
            } else if (file->header.isEventFile()) {
                events = std::make_unique<EventFile>(std::move(file));
                events->readEvents();
                if (events->file->stream->hasMainError()) continue;
            } else {
                IO& io = *file->stream;
                IO::setCode(io.mainError, ErrorCode::BadType);
                IO::reportCode(io.mainError, -1);
            }
        }
        if (events) exportEventFile(*events, inputs);
    } while (!pending.empty());

    CTime first, last;
    if (spanOf(items, first, last) && (leftOut.empty() || goOnWithout(leftOut, "export", "Export")))
        exportDataFiles(items.data(), static_cast<int>(items.size()), first, last, inputs);
    closeAll(items);
}
