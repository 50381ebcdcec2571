#pragma once
// An alarm/event file read into memory: the state labels of the recorder's
// digital inputs and its ring of 12-byte records, oldest first.
#include <cstdint>
#include <memory>

#include "data/File.h"
#include "data/VArray.h"
#include "time/CTime.h"

// One record. The placeholder of an empty ring keeps every field zero.
struct Event {
    CTime time;
    std::uint8_t point = 0;  // 0..15
    std::uint8_t alarm = 0;  // 0..15
    std::uint8_t code = 0;   // what happened
    float value = 0.0f;
};

// The labels shown for codes 64 (table 0) and 65 (table 1), one per input.
class StateLabels {
public:
    static constexpr int Stored = 7;
    static constexpr int Width = 10;

    // A blank label (empty or spaces only) becomes the table's default.
    void set(int table, int point, const char* text);
    // "" for a point with no stored label.
    const char* label(int table, int point) const;

private:
    char text_[2][Stored][Width + 1] = {};
};

class EventFile {
public:
    static constexpr int RecordSize = 12;
    static constexpr std::uint32_t ChunkSize = 1000;

    explicit EventFile(std::unique_ptr<File> recorderFile);
    EventFile(const EventFile&) = delete;
    EventFile& operator=(const EventFile&) = delete;

    // Reads the header and the whole ring; afterwards the stream's main
    // error tells whether the read was clean. Shows nothing itself.
    void readEvents();
    // The newest record's position as the header gives it.
    std::int32_t lastPos() const { return lastPos_; }

    std::int32_t headerSize = 0;
    std::int32_t firstPos = 0;
    std::int32_t endPos = 0;
    std::int32_t wrapPos = 0;
    std::uint32_t count = 0;
    std::int32_t inputCount = 0;
    StateLabels EventLabels;
    VArray<Event> events{ChunkSize};
    VArrayIter<Event> cursor{events};
    // Declared last so it is destroyed first: the file goes before the array.
    std::unique_ptr<File> file;

private:
    void readHeader(IO& io);
    bool positionsValid() const;
    void walkRing(IO& io);

    std::int32_t lastPos_ = 0;
};
