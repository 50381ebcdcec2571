#include "data/DataFile.h"

#include "notice/UserNotice.h"
#include "storage/IO.h"

DataFile::DataFile(std::unique_ptr<File> f) : file(f ? std::move(f) : std::make_unique<File>()) {}

DataFile::~DataFile() {
    close();
    file.reset();
    blocks.reset();
}

void DataFile::close() {
    if (IO* io = stream(); io && io->isOpen()) {
        NoticeSource source(io->name());
        if (held_.code) io->mainError = held_;  // the first error met, as a single pass reports
        held_ = ErrorRecord{};
        io->close();
    }
}

void DataFile::holdError() {
    IO* io = stream();
    if (!io || !io->hasMainError()) return;
    if (!held_.code) held_ = io->mainError;
    io->mainError = ErrorRecord{};
}

void DataFile::reportHeldError() {
    if (!held_.code) return;
    IO* io = stream();
    NoticeSource source(io ? io->name() : nullptr);
    IO::reportCode(held_, -1);
    held_ = ErrorRecord{};
}

void DataFile::open(std::uint32_t startAddress, std::uint8_t readFlags) {
    IO* io = stream();
    if (!io) return;
    NoticeSource source(io->name());
    if (!io->open(0)) return;
    blocks.reset();

    io->seek(file->startOffset);
    file->header.read(*io, 0);
    blocks.firstBlock = io->getWord32();
    blocks.lastBlock = io->getWord32();
    blocks.fileAlarms.read(*io);
    blocks.fileScale.read(*io);
    io->getWord16();

    verify = file->header.checksumsVerified() ? ReadFlags::Verify : 0;
    readFlags |= verify;

    if (!io->hasMainError()) {
        blocks.readNext(*io, startAddress, readFlags);
        if (!hasBlocks()) {
            IO::setCode(io->mainError, ErrorCode::CantGetBlock);
        } else {
            firstTime = blocks.head->data[0].startTime;
            lastTime = blocks.head->data[0].endTime;
            // Address 0 names no block: read there, the file header would
            // pass for one and its bytes for a bad interval.
            if (blocks.lastBlock != 0) {
                // Only the header is wanted: a scale record it carries is its
                // own and goes with the temporary; none in force is touched.
                DataBlock last;
                last.readHeader(*io, blocks.lastBlock, readFlags);
                lastTime = last.endTime;
            }
            if (lastTime < firstTime) lastTime = firstTime;
        }
    }
    endBusy();
    IO::reportCode(io->mainError, -1);
    io->mainError = ErrorRecord{};
}

void DataFile::loadSamples(DataBlock& b) {
    if (b.samples || !b.count) return;
    if (IO* io = stream()) {
        NoticeSource source(io->name());
        b.load(*io, b.address, ReadFlags::ReadSamples | verify);
    }
}
