#pragma once
// A recorder file on a disk or memory card, read and written through the C
// runtime's low-level file calls (binary mode on Windows).
#include <string>

#include "storage/IO.h"

class DISK : public IO {
public:
    static constexpr std::size_t PathCapacity = 260;  // 259 characters and a zero

    explicit DISK(std::string path);
    ~DISK() override;

    const char* name() const override { return path_.c_str(); }
    std::unique_ptr<IO> clone() const override { return std::make_unique<DISK>(path_); }
    int open(int mode) override;
    void close() override;
    void positionDevice() override;
    void fill() override;
    int fetch(std::uint8_t* out, int n) override;
    void flush(int n) override;
    std::uint32_t freeSpace() override;

    int drive() const { return drive_; }

private:
    void readFailed(int got);

    int handle_ = -1;
    int drive_ = 0;  // 1 for A:, 2 for B:, ...; 0 when the path names no drive
    std::string path_;
};
