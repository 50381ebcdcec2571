// An alarm/event file from arbitrary bytes, taken as `harvex events` takes
// one: read the ring and write it out.
#include <memory>
#include <vector>

#include "FuzzSupport.h"
#include "events/EventExport.h"
#include "events/EventFile.h"
#include "storage/MemoryIO.h"
#include "support/RecordingNotice.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static testsupport::RecordingNotice notice;
    notice.clear();
    auto io = std::make_unique<MemoryIO>(std::vector<std::uint8_t>(data, data + size));
    const MemoryIO* stream = io.get();
    EventFile events(std::make_unique<File>(std::move(io)));
    events.readEvents();
    // Closing shows the main error, once. A ring walked round more than once
    // (the finding in regress/) reads more records than the file holds.
    FUZZ_CHECK(!stream->isOpen() && !isBusy() && notice.messages.size() == (stream->hasMainError() ? 1u : 0u));
    FUZZ_CHECK(events.count * std::uint64_t(EventFile::RecordSize) <= size);
    static std::FILE* sink = std::fopen("/dev/null", "w");
    FUZZ_CHECK(writeEvents(events, sink));
    return 0;
}
