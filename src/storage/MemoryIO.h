#pragma once
// A stream over bytes held in memory: unit tests and fuzz targets feed the
// readers exactly as a file on disk would, 512 bytes per fill.
#include <cstdint>
#include <string>
#include <vector>

#include "storage/IO.h"

class MemoryIO : public IO {
public:
    explicit MemoryIO(std::vector<std::uint8_t> bytes, std::string label = "memory");

    const char* name() const override { return label_.c_str(); }
    std::unique_ptr<IO> clone() const override { return std::make_unique<MemoryIO>(bytes_, label_); }
    int open(int mode) override;
    void close() override;
    void positionDevice() override { cursor_ = position; }
    void fill() override;
    int fetch(std::uint8_t* out, int n) override;
    void flush(int n) override;

    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    // Device reads so far, fills and fetches (a bound on work in tests).
    int fills() const { return fills_; }

private:
    std::vector<std::uint8_t> bytes_;
    std::string label_;
    std::uint64_t cursor_ = 0;
    int fills_ = 0;
};
