// Writes the recorder files the command-line tests run on: small channels
// with known values, and files broken in the ways a memory card breaks them.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include "support/RecorderFileBuilder.h"

using namespace testfile;

namespace {

DataFileBuilder channel(const std::string& ident, const std::string& label, std::uint64_t start, std::int32_t interval,
                        const std::vector<std::int16_t>& raw) {
    DataFileBuilder b;
    b.ident = ident;
    b.fileScale = ScaleSpec::of(label, 0.0f, 50.0f, 100.0f, 0x12);
    BlockSpec blk;
    blk.start = start;
    blk.interval = interval;
    blk.i16(raw);
    b.add(blk);
    return b;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::string dir = argv[1];
    std::filesystem::create_directories(dir);
    const std::uint64_t t0 = ticksAt(2001, 3, 5, 14, 5, 0);

    writeFile(dir + "/FAST.DC1", channel("FAST", "V", t0, 10000, {0, 100, 200, 300, 400, 500, 600}).build());
    writeFile(dir + "/SLOW.DC2", channel("SLOW", "A", t0, 30000, {1000, 2000, 3000}).build());

    DataFileBuilder badCrc = channel("BADCRC", "V", t0, 10000, {1, 2, 3});
    badCrc.blocks[0].badChecksum = true;
    writeFile(dir + "/BADCRC.DC1", badCrc.build());

    DataFileBuilder type2 = channel("TYPE2", "V", t0, 10000, {1});
    type2.type = 2;
    writeFile(dir + "/TYPE2.DC1", type2.build());

    auto truncated = channel("TRUNC", "V", t0, 10000, {1, 2, 3, 4}).build();
    truncated.resize(truncated.size() - 3);
    writeFile(dir + "/TRUNC.DC1", truncated);

    // Two blocks whose next addresses point at each other.
    DataFileBuilder cycle = channel("CYCLE", "V", t0, 10000, {1, 2});
    BlockSpec second;
    second.start = t0 + 20000;
    second.interval = 10000;
    second.i16({3});
    second.nextIndex = 0;
    cycle.add(second);
    writeFile(dir + "/CYCLE.DC1", cycle.build());

    // Every recorder symbol in the labels, bytes of the upper half in the name.
    writeFile(dir + "/SYMBOLS.DC1", channel("SYM\x80\x9F\xE9", "\x80\x81\x82\x83\x84\x85", t0, 10000, {150}).build());
    writeFile(dir + "/SYMBOLS.DC2", channel("SYM2", "\x86\x87\x88\x89", t0, 10000, {-250}).build());
    // A name and label holding the characters a dialect must keep whole.
    writeFile(dir + "/COMMA.DC1", channel("A,B.C", "m,s\"", t0, 10000, {1234}).build());
    // Across the end of a leap February, a minute and a day.
    writeFile(dir + "/MONTH.DC1", channel("MONTH", "V", ticksAt(2004, 2, 29, 23, 59, 57), 10000, {0, 100, 200, 300, 400}).build());

    // A gap within the recording, a break, a bad checksum and a block
    // dropped for its back address.
    DataFileBuilder gaps = channel("GAPS", "V", t0, 10000, {1, 2, 3});
    BlockSpec resumed, restarted, dropped, last;
    resumed.start = t0 + 100000;
    resumed.i16({4, 5});
    restarted.start = t0 + 120000;
    restarted.startCode = 1;
    restarted.badChecksum = true;
    restarted.i16({6, 7});
    dropped.start = t0 + 140000;
    dropped.prev = 0x1234;
    dropped.i16({8});
    last.start = t0 + 200000;
    last.i16({9, 10});
    for (BlockSpec* b : {&resumed, &restarted, &dropped, &last}) gaps.add(*b);
    writeFile(dir + "/GAPS.DC1", gaps.build());

    // One row more than a spreadsheet sheet holds below the header line.
    DataFileBuilder tall;
    tall.ident = "TALL";
    for (std::uint64_t done = 0, total = 1048576; done < total;) {
        BlockSpec b;
        b.start = t0 + done * 10000;
        b.type = Unsigned8;
        b.samples.assign(static_cast<std::size_t>(std::min<std::uint64_t>(65535, total - done)), 7);
        done += b.samples.size();
        tall.add(b);
    }
    writeFile(dir + "/TALL.DC1", tall.build());

    EventFileBuilder labelled;
    labelled.labels = {{"off", "P,\"1\".x"}};
    labelled.linear({EventSpec::of(ticksAt(2004, 2, 29, 23, 59, 59), 0, 0, 65, 0.0f),
                     EventSpec::of(ticksAt(2004, 3, 1, 0, 0, 1), 2, 1, 10, -1.5f)});
    writeFile(dir + "/LABELS.ALM", labelled.build());

    EventFileBuilder events;
    events.labels = {{"Pump off", "Pump on"}};
    events.linear({EventSpec::of(ticksAt(2003, 12, 31, 13, 5, 9), 1, 1, 9, 12.345f),
                   EventSpec::of(ticksAt(2003, 12, 31, 13, 6, 0), 0, 0, 65, 0.0f)});
    writeFile(dir + "/EVENTS.ALM", events.build());
    std::puts("ok");
    return 0;
}
