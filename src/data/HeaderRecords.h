#pragma once
// The records that open a recorder file: identification, alarm set-points
// and the channel's label and scale.
#include <cstdint>

#include "data/UNITS.h"

class IO;

struct GeneralHeader {
    static constexpr int AnyType = 255;

    char version = 0;
    std::uint8_t revision = 0;
    std::uint8_t type = 0;
    char text[11] = {};  // 10 bytes and a terminator

    // Resets the stream's checksum, reads the 13 bytes and checks the type:
    // a mismatch sets the main error "Bad Type" (the text is still read).
    void read(IO& io, int expectedType, int upperType = AnyType);
    // Whether the blocks of a file with this header carry verified checksums.
    bool checksumsVerified() const;
    bool isDataFile() const { return (type & ~1) == 0; }
    bool isEventFile() const { return (type & ~1) == 4; }
};

struct AlarmSetPoint {
    float first = 0.0f;
    float second = 0.0f;
    std::uint8_t option = 0;
    std::uint8_t type = 0;  // 0: no alarm, and both values are zero
};

struct AlarmHeader {
    std::uint8_t mask = 0;
    AlarmSetPoint records[5];

    void read(IO& io);
    // Bytes the record takes on file.
    int storedSize() const;
};

struct ScalesHeader {
    char label[7] = {};
    UNITS units;
    std::uint8_t options = 0;

    void read(IO& io);
};

// Recorder symbols 0x80..0x89 to Windows-1252, in place; stops at the
// first zero byte.
void translateRecorderText(char* text);
