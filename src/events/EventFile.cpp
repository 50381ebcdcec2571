#include "events/EventFile.h"

#include <cstring>

#include "storage/IO.h"

namespace {

constexpr int LabelTables = 2;
const char* const DefaultLabel[LabelTables] = {"Open ", "Close"};

bool isBlank(const char* text) {
    for (; *text; ++text)
        if (*text != ' ') return false;
    return true;
}

bool validTable(int table, int point) {
    return table >= 0 && table < LabelTables && point >= 0 && point < StateLabels::Stored;
}

Event readRecord(IO& io) {
    Event e;
    e.time = readStored(io);
    std::uint8_t pointAlarm = io.getByte();
    e.point = static_cast<std::uint8_t>(pointAlarm >> 4);
    e.alarm = static_cast<std::uint8_t>(pointAlarm & 0x0F);
    e.code = io.getByte();
    e.value = io.getFloat();
    return e;
}

}  // namespace

void StateLabels::set(int table, int point, const char* text) {
    if (!validTable(table, point)) return;
    const char* source = isBlank(text) ? DefaultLabel[table] : text;
    // At most Width characters, the rest of the field zero.
    char* field = text_[table][point];
    std::size_t n = 0;
    while (n < Width && source[n]) ++n;
    std::memcpy(field, source, n);
    std::memset(field + n, 0, Width + 1 - n);
}

const char* StateLabels::label(int table, int point) const {
    return validTable(table, point) ? text_[table][point] : "";
}

EventFile::EventFile(std::unique_ptr<File> recorderFile) : file(std::move(recorderFile)) { cursor.first(); }

void EventFile::readEvents() {
    IO* io = file ? file->stream.get() : nullptr;
    if (!io || !io->open(0)) {
        cursor.first();
        return;
    }
    io->seek(file->startOffset);
    file->header.read(*io, 4);
    if (!io->hasMainError()) readHeader(*io);
    if (!io->hasMainError()) {
        if (positionsValid()) walkRing(*io);
        else IO::setCode(io->mainError, ErrorCode::CorruptPointers);
    }
    if (count == 0) events.newElement();
    io->getWord16();
    io->close();
    cursor.first();
}

void EventFile::readHeader(IO& io) {
    inputCount = io.getByte();
    char label[StateLabels::Width + 1];
    for (int i = 0; i < inputCount; ++i) {
        for (int table = 0; table < LabelTables; ++table) {
            io.readString(label, StateLabels::Width);
            EventLabels.set(table, i, label);  // inputs past the stored ones are only read past
        }
    }
    firstPos = static_cast<std::int32_t>(io.getWord32());
    lastPos_ = static_cast<std::int32_t>(io.getWord32());
    // Widened: a lastPos near the top of the range must not overflow.
    std::int64_t end = lastPos_ != firstPos ? std::int64_t(lastPos_) + RecordSize : lastPos_;
    endPos = end > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(end);
    wrapPos = static_cast<std::int32_t>(io.getWord32());
    io.getWord16();
    headerSize = 28 + 20 * inputCount;
}

// Every position must be a record slot of the ring, and the oldest record
// cannot lie above the end of the upper run.
bool EventFile::positionsValid() const {
    auto isSlot = [this](std::int32_t pos) { return pos >= headerSize && (pos - headerSize) % RecordSize == 0; };
    return isSlot(firstPos) && isSlot(lastPos_) && isSlot(wrapPos) && firstPos <= wrapPos &&
           lastPos_ <= INT32_MAX - RecordSize;
}

// Reads firstPos up to wrapPos, then, when the ring has wrapped, headerSize
// up to endPos. Each slot is read at most once, so the walk ends within the
// records the file holds whatever the header says.
void EventFile::walkRing(IO& io) {
    std::int64_t pos = firstPos;
    bool wrapped = false;
    io.seek(static_cast<std::uint32_t>(firstPos));
    for (;;) {
        if (pos >= wrapPos) {
            if (wrapPos == endPos) break;
            // A newest record above the upper run would wrap the walk again
            // and again: the header contradicts itself.
            if (wrapped) {
                IO::setCode(io.mainError, ErrorCode::CorruptPointers);
                break;
            }
            wrapped = true;
            pos = headerSize;
            io.seek(static_cast<std::uint32_t>(headerSize));
        }
        if (wrapped) {
            if (pos >= endPos) break;
            // The lower run ends below firstPos; going on would read the
            // upper run again and, past wrapPos, wrap for ever.
            if (pos >= firstPos) {
                IO::setCode(io.mainError, ErrorCode::CorruptPointers);
                break;
            }
        }
        Event e = readRecord(io);
        // A record cut short by the end of the file is not kept.
        if (io.hasMainError()) break;
        *events.newElement() = e;
        pos += RecordSize;
        ++count;
    }
}
