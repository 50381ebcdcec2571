#pragma once
// Writes an output file in large chunks on a thread of its own, so that
// making the next chunk's text and writing the last one overlap: the export
// then runs at the pace of the slower of the two, not of both added up.
// A short output (one chunk) is written on the caller's thread at the end
// and starts no thread.
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>

class ChunkWriter {
public:
    // Two buffers of capacity bytes each; out stays the caller's.
    ChunkWriter(std::FILE* out, std::size_t capacity);
    // The next output, once finish() has returned: the buffers and the
    // thread serve file after file of a split export.
    void retarget(std::FILE* out) { out_ = out; failed_ = false; }
    ~ChunkWriter();
    ChunkWriter(const ChunkWriter&) = delete;
    ChunkWriter& operator=(const ChunkWriter&) = delete;

    // The buffer to fill, capacity bytes.
    char* buffer() { return fill_; }
    std::size_t capacity() const { return capacity_; }
    // Hands the first n bytes of buffer() over to be written; buffer() is
    // then another one. False once any write has failed.
    bool submit(std::size_t n);
    // Writes what was handed over and the first n bytes of buffer(), and
    // waits for all of it; false when any write failed.
    bool finish(std::size_t n);

private:
    void run();
    // Waits until the thread holds no chunk.
    void drain(std::unique_lock<std::mutex>& lock);

    std::FILE* out_;
    std::size_t capacity_;
    std::unique_ptr<char[]> buffers_[2];
    char* fill_;
    // The chunk handed to the thread, and its state.
    std::mutex mutex_;
    std::condition_variable changed_;
    const char* pending_ = nullptr;
    std::size_t pendingSize_ = 0;
    bool stop_ = false;
    bool failed_ = false;
    std::thread thread_;
};
