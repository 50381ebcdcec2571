#pragma once
// An open recorder data file: its header records, the blocks loaded so far
// and the stream that further blocks are loaded from.
#include <cstdint>
#include <memory>

#include "data/BlockList.h"
#include "data/File.h"
#include "time/CTime.h"

class DataFile {
public:
    // Without a File, an empty one with no stream is made.
    explicit DataFile(std::unique_ptr<File> f = nullptr);
    DataFile(const DataFile&) = delete;
    DataFile& operator=(const DataFile&) = delete;
    virtual ~DataFile();

    // Reads the file header and the first usable block; reports at most one
    // error message (the main error) at its end. The stream stays open for
    // lazy loading.
    void open(std::uint32_t startAddress = 0, std::uint8_t readFlags = ReadFlags::ReadHeader | ReadFlags::ReadSamples);
    // Closes the stream, which reports an error met while loading blocks
    // after open (for instance the end of a truncated file).
    void close();
    // Sets aside the stream's error (the first one set aside stays), so
    // the blocks already loaded can be read again: the reader refuses to
    // read while one is set. close() reports it.
    void holdError();
    // Reports the error set aside, if any, and lets it go; the stream
    // stays open for the blocks already loaded.
    void reportHeldError();
    bool hasBlocks() const { return blocks.head != nullptr; }
    // Reads the samples of a block whose header alone was loaded; its
    // messages name this file.
    void loadSamples(DataBlock& b);
    IO* stream() const { return file ? file->stream.get() : nullptr; }
    const GeneralHeader& header() const { return file->header; }

    BlockList blocks;
    CTime firstTime;
    CTime lastTime;
    std::uint8_t verify = 0;
    std::unique_ptr<File> file;

private:
    ErrorRecord held_;
};
