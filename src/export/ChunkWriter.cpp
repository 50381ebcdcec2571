#include "export/ChunkWriter.h"

ChunkWriter::ChunkWriter(std::FILE* out, std::size_t capacity)
    : out_(out), capacity_(capacity), buffers_{std::make_unique_for_overwrite<char[]>(capacity), nullptr}, fill_(buffers_[0].get()) {}

ChunkWriter::~ChunkWriter() {
    if (!thread_.joinable()) return;
    {
        std::unique_lock lock(mutex_);
        drain(lock);
        stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void ChunkWriter::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stop_ || pending_; });
        if (!pending_) return;
        const char* data = pending_;
        const std::size_t n = pendingSize_;
        lock.unlock();
        const bool ok = std::fwrite(data, 1, n, out_) == n;
        lock.lock();
        if (!ok) failed_ = true;
        pending_ = nullptr;
        changed_.notify_all();
    }
}

void ChunkWriter::drain(std::unique_lock<std::mutex>& lock) {
    changed_.wait(lock, [this] { return pending_ == nullptr; });
}

bool ChunkWriter::submit(std::size_t n) {
    if (n == 0) return !failed_;
    if (!buffers_[1]) {
        buffers_[1] = std::make_unique_for_overwrite<char[]>(capacity_);
        thread_ = std::thread([this] { run(); });
    }
    {
        std::unique_lock lock(mutex_);
        drain(lock);
        if (failed_) return false;
        pending_ = fill_;
        pendingSize_ = n;
    }
    changed_.notify_all();
    fill_ = fill_ == buffers_[0].get() ? buffers_[1].get() : buffers_[0].get();
    return true;
}

bool ChunkWriter::finish(std::size_t n) {
    {
        std::unique_lock lock(mutex_);
        drain(lock);
        if (failed_) return false;
    }
    return n == 0 || std::fwrite(fill_, 1, n, out_) == n;
}
