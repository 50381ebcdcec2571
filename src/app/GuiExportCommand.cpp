#include "app/GuiExportCommand.h"

#include <memory>
#include <string>

#include "events/EventExport.h"
#include "events/EventFile.h"
#include "forms/DisplayForm.h"
#include "forms/ExportForm.h"
#include "forms/FileForms.h"
#include "notice/UserNotice.h"
#include "ui/CApp.h"

namespace {

constexpr int DataFilterIndex = 2;
constexpr std::uint8_t OpenHeaderAndSamples = 0x03;

void exportEventFile(std::unique_ptr<File> file, const std::vector<std::string>& inputs) {
    EventFile events(std::move(file));
    events.readEvents();
    if (events.file->stream->hasMainError()) return;
    runDisplayForm();  // its answer does not stop the export
    FileSaveAsForm form(App.mainHandle(), "Alarm/Event Export Filename", allFilesFilter, 1, AskBeforeOverwrite,
                        nullptr);
    if (!form.chosen || refuseInputAsOutput(form.fileName, inputs)) return;
    exportEvents(events, form.fileName);
}

}  // namespace

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

    do {
        std::unique_ptr<File> file = openRecorderFile(ModeMultiple, recorderFileFilters, DataFilterIndex, &pending);
        if (!file) break;
        if (inputs.empty())
            for (std::size_t i = 1; i < pending.size(); ++i) inputs.push_back(joinPath(pending[0], pending[i]));
        inputs.emplace_back(file->stream->name());
        if (!identifyFile(*file)) continue;

        if (file->header.isDataFile()) {
            auto data = std::make_shared<DataFile>(std::move(file));
            data->open(0, OpenHeaderAndSamples);
            if (data->hasBlocks()) items.emplace_back(data);
        } else if (file->header.isEventFile()) {
            exportEventFile(std::move(file), inputs);
        } else {
            IO& io = *file->stream;
            IO::setCode(io.mainError, ErrorCode::BadType);
            IO::reportCode(io.mainError, -1);
        }
    } while (items.size() < static_cast<std::size_t>(MaxExportFiles) && !pending.empty());

    CTime first, last;
    if (!spanOf(items, first, last)) return;
    exportDataFiles(items.data(), static_cast<int>(items.size()), first, last, inputs);
    // Closing each file reports what loading its later blocks met.
    for (dFileIt& item : items) item.file->close();
}
