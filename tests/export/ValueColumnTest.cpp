#include <gtest/gtest.h>

#include <cfloat>
#include <memory>
#include <string>
#include <vector>

#include "data/DataFile.h"
#include "export/ValueColumn.h"
#include "storage/MemoryIO.h"
#include "support/RecorderFileBuilder.h"
#include "support/RecordingNotice.h"

namespace {

using namespace testfile;

std::vector<std::string> texts(ValueColumn& column, const std::vector<SamplePosition>& positions) {
    column.makeTexts(positions.data(), positions.size());
    std::vector<std::string> out;
    for (std::size_t r = 0; r < positions.size(); ++r) {
        char text[NumberTextMax + 16];
        out.emplace_back(text, column.put(r, text));
    }
    return out;
}

// Bytes on a 0-50-100 scale of two segments meeting at count 120 of 240;
// their samples dropped, so the column reads them again.
TEST(ValueColumn, ByteSamplesLoadedOnFirstUse) {
    testsupport::RecordingNotice notice;
    DataFileBuilder b;
    b.fileScale = ScaleSpec::of("CH1", 0.0f, 50.0f, 100.0f, 0x12);
    BlockSpec blk;
    blk.type = Unsigned8;
    blk.u8({0, 120, 240, 255});
    b.add(blk);
    DataFile f(std::make_unique<File>(std::make_unique<MemoryIO>(b.build())));
    f.open();
    ASSERT_TRUE(f.hasBlocks());
    DataBlock* block = &f.blocks.head->data[0];
    block->samples.reset();
    ValueColumn column(f);
    EXPECT_EQ(texts(column, {{block, 0}, {block, 1}, {block, 1}, {block, 2}, {block, 3}, {block, 9}, {nullptr, 0}}),
              (std::vector<std::string>{"    0.00", "   50.00", "   50.00", "  100.00", "  106.25", "    0.00", "    0.00"}));
    EXPECT_NE(block->samples, nullptr);
    EXPECT_TRUE(notice.messages.empty());
}

// A block without a scale shows its raw floats, every digit of a large one.
TEST(ValueColumn, FloatsWithoutScale) {
    DataBlock block;
    block.flags = Float32;
    block.samples = makeSampleArray(Float32, 3);
    MemoryIO stream({0x3F, 0xC0, 0, 0, 0xC0, 0x10, 0, 0, 0x7F, 0x7F, 0xFF, 0xFF});
    block.samples->readAll(stream);
    block.count = block.samples->count;
    DataFile f;
    ValueColumn column(f);
    EXPECT_EQ(texts(column, {{&block, 0}, {&block, 1}, {&block, 2}, {&block, 0}}),
              (std::vector<std::string>{"    1.50", "   -2.25", "340282346638528859811704183484516925440.00", "    1.50"}));
}

}  // namespace
