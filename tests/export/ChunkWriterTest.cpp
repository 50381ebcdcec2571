#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "export/ChunkWriter.h"
#include "support/TextFiles.h"

namespace fs = std::filesystem;

namespace {

// Chunks handed over one after the other, through both buffers and back,
// arrive in order, the rest given to finish last.
TEST(ChunkWriter, ChunksArriveInOrder) {
    const fs::path path = fs::temp_directory_path() / "hx_chunks.txt";
    std::FILE* out = std::fopen(path.string().c_str(), "wb");
    ASSERT_NE(out, nullptr);
    {
        ChunkWriter w(out, 4);
        for (const char* chunk : {"abcd", "ef", "ghij", "", "k"}) {
            std::memcpy(w.buffer(), chunk, std::strlen(chunk));
            EXPECT_TRUE(w.submit(std::strlen(chunk))) << chunk;
        }
        std::memcpy(w.buffer(), "lm", 2);
        EXPECT_TRUE(w.finish(2));
    }
    std::fclose(out);
    EXPECT_EQ(testsupport::fileText(path), "abcdefghijklm");
    fs::remove(path);
}

// Unbuffered, every write reaches the device that refuses it: a failed
// chunk refuses the next one and the finish; the finish's own write fails.
TEST(ChunkWriter, FailedWriteIsReportedOnTheNextCall) {
#if defined(_WIN32)
    GTEST_SKIP() << "no device that refuses writes";
#else
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no device that refuses writes";
    for (bool handedOver : {true, false}) {
        std::FILE* out = std::fopen("/dev/full", "wb");
        ASSERT_NE(out, nullptr);
        std::setvbuf(out, nullptr, _IONBF, 0);
        {
            ChunkWriter w(out, 4);
            std::memcpy(w.buffer(), "abcd", 4);
            if (handedOver) {
                EXPECT_TRUE(w.submit(4));
                EXPECT_FALSE(w.submit(4));
                EXPECT_FALSE(w.submit(0));
                EXPECT_FALSE(w.finish(0));
            } else {
                EXPECT_FALSE(w.finish(4));
            }
        }
        std::fclose(out);
    }
#endif
}

}  // namespace
