// The chain summary reads block headers only; loading every block must
// find the same blocks, samples and last time, show the same messages
// (but those about sample contents) and leave the same error, on chains
// broken every way a memory card breaks them.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "data/DataFileIter.h"
#include "storage/MemoryIO.h"
#include "support/RecorderFileBuilder.h"
#include "support/RecordingNotice.h"

namespace {

using namespace testfile;

struct Outcome {
    std::uint32_t blocks = 0;
    std::uint64_t samples = 0;
    std::uint64_t last = 0;
    std::vector<std::string> messages;
    int error = 0;
};

std::unique_ptr<DataFile> opened(const std::vector<std::uint8_t>& bytes) {
    auto df = std::make_unique<DataFile>(std::make_unique<File>(std::make_unique<MemoryIO>(bytes)));
    df->open();
    return df;
}

// Messages about the samples' bytes come only from reading them.
std::vector<std::string> withoutSampleChecks(const std::vector<std::string>& texts) {
    std::vector<std::string> kept;
    for (const auto& t : texts)
        if (t.find("Checksum error") == std::string::npos && t.find("Invalid Floating") == std::string::npos) kept.push_back(t);
    return kept;
}

Outcome summarized(const std::vector<std::uint8_t>& bytes, bool& usable) {
    testsupport::RecordingNotice notice;
    auto df = opened(bytes);
    usable = df->hasBlocks();
    if (!usable) return {};
    notice.clear();
    const ChainSummary s = summarizeChain(*df, bytes.size());
    return {s.blocks, s.samples, s.last.ticks(), withoutSampleChecks(notice.texts()), df->stream()->mainError.code};
}

Outcome loaded(const std::vector<std::uint8_t>& bytes) {
    testsupport::RecordingNotice notice;
    auto df = opened(bytes);
    notice.clear();
    DataFileIter it(*df);
    it.toEnd(true);
    Outcome o;
    VArrayIter<DataBlock> walk(df->blocks);
    for (DataBlock* b = walk.first(); b; b = walk.advance(1) ? walk.current() : nullptr) {
        ++o.blocks;
        o.samples += b->count;
    }
    o.last = it.time.ticks();
    o.messages = withoutSampleChecks(notice.texts());
    o.error = df->stream()->mainError.code;
    return o;
}

void expectSame(const std::vector<std::uint8_t>& bytes, const std::string& what) {
    bool usable = false;
    const Outcome s = summarized(bytes, usable);
    if (!usable) return;
    const Outcome l = loaded(bytes);
    EXPECT_EQ(s.blocks, l.blocks) << what;
    EXPECT_EQ(s.samples, l.samples) << what;
    EXPECT_EQ(s.last, l.last) << what;
    EXPECT_EQ(s.messages, l.messages) << what;
    EXPECT_EQ(s.error, l.error) << what;
}

const std::uint64_t T0 = ticksAt(2021, 6, 1, 8, 0, 0);

BlockSpec block(int i, DataType type, int count) {
    BlockSpec b;
    b.start = T0 + static_cast<std::uint64_t>(i) * 3600 * 10000;
    b.interval = 10000;
    b.type = type;
    const std::size_t size = type == Float32 ? 4 : type == Unsigned8 ? 1 : 2;
    for (std::size_t k = 0; k < static_cast<std::size_t>(count) * size; ++k) b.samples.push_back(static_cast<std::uint8_t>(k * 7 + i));
    return b;
}

DataFileBuilder chain(std::initializer_list<BlockSpec> blocks) {
    DataFileBuilder f;
    for (const auto& b : blocks) f.add(b);
    return f;
}

TEST(ChainSummary, MatchesLoadingEveryBlock) {
    struct Case {
        std::string name;
        DataFileBuilder file;
        std::size_t cut = 0;  // bytes taken off the end
    };
    std::vector<Case> cases;
    cases.push_back({"clean, mixed types", chain({block(0, Unsigned16, 30), block(1, Unsigned8, 50), block(2, Float32, 9)})});
    {
        Case c{"own logarithmic scale past the clamp", chain({block(0, Signed16, 10), block(1, Unsigned16, 10), block(2, Unsigned16, 4)})};
        c.file.blocks[1].scale = ScaleSpec::of("LOG", 1.0f, 200.0f, 400.0f, 0x80);
        cases.push_back(c);
    }
    cases.push_back({"last block cut in its samples", chain({block(0, Unsigned16, 20), block(1, Float32, 20), block(2, Signed16, 40)}), 7});
    cases.push_back({"last block cut in its header", chain({block(0, Unsigned16, 20), block(1, Unsigned8, 2)}), 20});
    {
        Case c{"wrong back address", chain({block(0, Unsigned16, 5), block(1, Unsigned16, 6), block(2, Unsigned16, 7), block(3, Unsigned16, 8)})};
        c.file.blocks[1].prev = 999;
        cases.push_back(c);
    }
    {
        Case c{"chain back to the first block", chain({block(0, Unsigned16, 5), block(1, Unsigned16, 6), block(2, Unsigned16, 7)})};
        c.file.blocks[2].nextIndex = 0;
        cases.push_back(c);
    }
    {
        Case c{"chain back to a block skipped by open", chain({block(0, Unsigned16, 0), block(1, Unsigned16, 6), block(2, Unsigned16, 7)})};
        c.file.blocks[2].nextIndex = 0;
        cases.push_back(c);
    }
    {
        Case c{"illegal interval", chain({block(0, Unsigned16, 5), block(1, Unsigned16, 6), block(2, Unsigned16, 7)})};
        c.file.blocks[2].interval = 0;
        cases.push_back(c);
    }
    {
        Case c{"too many 16-bit samples", chain({block(0, Unsigned16, 5), block(1, Unsigned16, 6), block(2, Unsigned16, 7)})};
        c.file.blocks[1].byteCount = 65534;
        cases.push_back(c);
    }
    {
        Case c{"empty block between", chain({block(0, Unsigned16, 5), block(1, Unsigned16, 6), block(2, Unsigned16, 7)})};
        c.file.blocks[1].byteCount = 1;
        cases.push_back(c);
    }
    {
        Case c{"negative next address", chain({block(0, Unsigned16, 5), block(1, Unsigned16, 6), block(2, Unsigned16, 7)})};
        c.file.blocks[1].next = 0x80000010u;
        cases.push_back(c);
    }
    {
        Case c{"bad checksum and infinite floats", chain({block(0, Unsigned16, 5), block(1, Float32, 3), block(2, Unsigned16, 7)})};
        c.file.blocks[1].badChecksum = true;
        c.file.blocks[1].f32bits({0x7F800000u, 0x42480000u, 0xFF800000u});
        cases.push_back(c);
    }
    for (const Case& c : cases) {
        auto bytes = c.file.build();
        bytes.resize(bytes.size() - c.cut);
        expectSame(bytes, c.name);
    }
}

// Chains broken at random in the ways above, and in several at once.
TEST(ChainSummary, MatchesLoadingEveryBlockOnRandomBrokenChains) {
    std::uint32_t state = 2024;
    auto random = [&state](std::uint32_t n) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % n;
    };
    for (int round = 0; round < 300; ++round) {
        DataFileBuilder f;
        f.fileScale = ScaleSpec::of("V", 0.0f, 50.0f, random(4) == 0 ? 500.0f : 100.0f, random(4) == 0 ? 0x80 : 0x12);
        const int blocks = 1 + static_cast<int>(random(6));
        for (int i = 0; i < blocks; ++i) {
            BlockSpec b = block(i, DataType(random(4)), random(10) == 0 ? 0 : 1 + static_cast<int>(random(40)));
            if (random(15) == 0) b.interval = 0;
            if (random(6) == 0) b.scale = ScaleSpec::of("S", 0.0f, 500.0f, 1000.0f, random(2) ? 0x80 : 0x13);
            if (random(8) == 0) b.alarm = AlarmSpec{3, {}};
            if (random(10) == 0) b.prev = 12345;
            if (random(12) == 0) b.byteCount = static_cast<std::uint16_t>(random(200));
            if (random(20) == 0) b.nextIndex = static_cast<int>(random(static_cast<std::uint32_t>(blocks)));
            if (random(10) == 0) b.badChecksum = true;
            if (random(5) == 0) b.gapBefore = random(10);
            f.add(b);
        }
        if (random(6) == 0) f.lastBlock = 0;
        auto bytes = f.build();
        if (random(3) == 0) bytes.resize(bytes.size() - std::min<std::size_t>(bytes.size() - 1, random(60)));
        expectSame(bytes, "round " + std::to_string(round));
    }
}

}  // namespace
