// An alarm/event file from arbitrary bytes: read the ring and export it
// into memory. The clock and date order come from the input's size.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "app/AppSettings.h"
#include "events/EventExport.h"
#include "events/EventFile.h"
#include "storage/MemoryIO.h"
#include "support/RecordingNotice.h"
#include "time/TimeText.h"

namespace {

using testsupport::RecordingNotice;

bool mainErrorText(const std::string& t) {
    return t == "Bad Type" || t == "End of File" || t == "Pointers are corrupted";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static RecordingNotice notice;
    notice.clear();
    AppSettings.displayFlags = static_cast<std::uint8_t>((size & 1 ? DisplayTime24 : 0) | (size & 2 ? DisplayDayFirst : 0));

    auto io = std::make_unique<MemoryIO>(std::vector<std::uint8_t>(data, data + size), "fuzz.ALM");
    MemoryIO* stream = io.get();
    EventFile events(std::make_unique<File>(std::move(io)));
    events.readEvents();

    // Reading shows nothing itself; closing reports the main error, once.
    FUZZ_CHECK(!stream->isOpen());
    FUZZ_CHECK(!isBusy());
    FUZZ_CHECK(notice.messages.size() <= 1);
    FUZZ_CHECK(stream->hasMainError() == (notice.messages.size() == 1));
    for (const auto& m : notice.messages) FUZZ_CHECK_MSG(mainErrorText(m.text), m.text);

    // Each record comes from its own 12 bytes of the file, and the array is
    // never empty once the stream was opened.
    FUZZ_CHECK(events.count * std::uint64_t(EventFile::RecordSize) <= size);
    std::uint32_t held = 0;
    for (Event* e = events.cursor.first(); e; e = events.cursor.advance(1) ? events.cursor.current() : nullptr) ++held;
    FUZZ_CHECK(held == (events.count ? events.count : 1));
    if (events.count == 0) {
        const Event* e = events.cursor.first();
        FUZZ_CHECK(e->time.ticks() == 0 && e->code == 0 && e->point == 0 && e->alarm == 0 && e->value == 0.0f);
    }
    FUZZ_CHECK(events.headerSize == 0 || events.headerSize == 28 + 20 * events.inputCount);
    for (int table = 0; table < 2; ++table)
        for (int point = 0; point < StateLabels::Stored; ++point) {
            const char* label = events.EventLabels.label(table, point);
            FUZZ_CHECK(std::strlen(label) <= StateLabels::Width);
            // A stored input has a label; a blank one took the default.
            if (point < events.inputCount && !stream->hasMainError()) FUZZ_CHECK(label[0] != '\0');
        }

    // A file read in part is not exported by the program, but the writer must
    // cope with whatever the array holds.
    char* text = nullptr;
    std::size_t length = 0;
    std::FILE* out = open_memstream(&text, &length);
    FUZZ_CHECK(out != nullptr);
    const bool written = writeEvents(events, out);
    std::fclose(out);
    const std::string csv(text, length);
    std::free(text);
    FUZZ_CHECK(written);

    // The header, then each event's own line in ring order, every byte once.
    std::string expected = EventHeaderLine;
    for (Event* e = events.cursor.first(); e; e = events.cursor.advance(1) ? events.cursor.current() : nullptr) {
        const std::size_t before = expected.size();
        formatEvent(*e, events.EventLabels, expected);
        const std::string line = expected.substr(before);
        FUZZ_CHECK(line.size() > 2 && line.back() == '\n');
        // Date, time, then the point or event (the first records stand for all).
        if (before > 4096) continue;
        char date[TimeTextMax], clock[TimeTextMax];
        formatTime(e->time, date, ShowDate | UseDisplayFlags);
        formatTime(e->time, clock, ShowTime | UseDisplayFlags);
        FUZZ_CHECK_MSG(line.rfind(std::string(date) + "," + clock + ",", 0) == 0, line);
    }
    FUZZ_CHECK(csv == expected);
    return 0;
}
