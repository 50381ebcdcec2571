// The chain summary reads block headers only; loading every block must
// find the same blocks, samples and last time, show the same messages
// (but those about sample contents) and leave the same error, on chains
// broken every way a memory card breaks them.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "data/DataFileIter.h"
#include "storage/MemoryIO.h"
#include "support/RecorderFileBuilder.h"
#include "support/RecordingNotice.h"

namespace {

using namespace testfile;

// Blocks, samples, last time, messages and the error left; nothing when open
// finds no block.
using Outcome = std::tuple<std::uint64_t, std::uint64_t, std::uint64_t, std::vector<std::string>, int>;

std::optional<Outcome> outcome(const std::vector<std::uint8_t>& bytes, bool summarize) {
    testsupport::RecordingNotice notice;
    DataFile df(std::make_unique<File>(std::make_unique<MemoryIO>(bytes)));
    df.open();
    if (!df.hasBlocks()) return std::nullopt;
    notice.clear();
    std::uint64_t blocks = 0, samples = 0, last = 0;
    if (summarize) {
        const ChainSummary s = summarizeChain(df, bytes.size());
        blocks = s.blocks;
        samples = s.samples;
        last = s.last.ticks();
    } else {
        DataFileIter it(df);
        it.toEnd(true);
        VArrayIter<DataBlock> walk(df.blocks);
        for (DataBlock* b = walk.first(); b; b = walk.advance(1) ? walk.current() : nullptr) {
            ++blocks;
            samples += b->count;
        }
        last = it.time.ticks();
    }
    // Messages about the samples' bytes come only from reading them.
    std::vector<std::string> messages;
    for (const auto& t : notice.texts())
        if (t.find("Checksum error") == std::string::npos && t.find("Invalid Floating") == std::string::npos) messages.push_back(t);
    return Outcome{blocks, samples, last, messages, df.stream()->mainError.code};
}

void expectSame(const std::vector<std::uint8_t>& bytes, const std::string& what) {
    EXPECT_EQ(outcome(bytes, true), outcome(bytes, false)) << what;
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

TEST(ChainSummary, MatchesLoadingEveryBlock) {
    using B = DataFileBuilder&;
    const DataType U16 = Unsigned16;
    // Blocks as (type, samples); cut: bytes taken off the end.
    const struct { const char* name; std::vector<std::pair<DataType, int>> blocks; void (*damage)(B); std::size_t cut; } cases[] = {
        {"clean, mixed types", {{U16, 30}, {Unsigned8, 50}, {Float32, 9}}, [](B) {}, 0},
        {"own logarithmic scale past the clamp", {{Signed16, 10}, {U16, 10}, {U16, 4}},
         [](B f) { f.blocks[1].scale = ScaleSpec::of("LOG", 1.0f, 200.0f, 400.0f, 0x80); }, 0},
        {"last block cut in its samples", {{U16, 20}, {Float32, 20}, {Signed16, 40}}, [](B) {}, 7},
        {"last block cut in its header", {{U16, 20}, {Unsigned8, 2}}, [](B) {}, 20},
        {"wrong back address", {{U16, 5}, {U16, 6}, {U16, 7}, {U16, 8}}, [](B f) { f.blocks[1].prev = 999; }, 0},
        {"chain back to the first block", {{U16, 5}, {U16, 6}, {U16, 7}}, [](B f) { f.blocks[2].nextIndex = 0; }, 0},
        {"chain back to a block skipped by open", {{U16, 0}, {U16, 6}, {U16, 7}}, [](B f) { f.blocks[2].nextIndex = 0; }, 0},
        {"illegal interval", {{U16, 5}, {U16, 6}, {U16, 7}}, [](B f) { f.blocks[2].interval = 0; }, 0},
        {"too many 16-bit samples", {{U16, 5}, {U16, 6}, {U16, 7}}, [](B f) { f.blocks[1].byteCount = 65534; }, 0},
        {"empty block between", {{U16, 5}, {U16, 6}, {U16, 7}}, [](B f) { f.blocks[1].byteCount = 1; }, 0},
        {"negative next address", {{U16, 5}, {U16, 6}, {U16, 7}}, [](B f) { f.blocks[1].next = 0x80000010u; }, 0},
        {"bad checksum and infinite floats", {{U16, 5}, {Float32, 3}, {U16, 7}},
         [](B f) {
             f.blocks[1].badChecksum = true;
             f.blocks[1].f32bits({0x7F800000u, 0x42480000u, 0xFF800000u});
         },
         0},
    };
    for (const auto& c : cases) {
        DataFileBuilder f;
        for (std::size_t i = 0; i < c.blocks.size(); ++i) f.add(block(int(i), c.blocks[i].first, c.blocks[i].second));
        c.damage(f);
        auto bytes = f.build();
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
