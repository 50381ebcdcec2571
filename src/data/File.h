#pragma once
// A recorder file: its identification header and the stream it is read
// through, which it owns.
#include <cstdint>
#include <memory>

#include "data/HeaderRecords.h"
#include "storage/IO.h"

class File {
public:
    File() = default;
    explicit File(std::unique_ptr<IO> io) : stream(std::move(io)) {}
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    virtual ~File() = default;

    GeneralHeader header;
    std::unique_ptr<IO> stream;
    std::uint32_t startOffset = 0;
};

// Reads the identification header of a recorder file without a type check
// and closes the stream again, as the export command does before deciding
// what the file is. False when the stream could not be opened or the
// header could not be read (the storage layer has reported why).
bool identifyFile(File& file);
