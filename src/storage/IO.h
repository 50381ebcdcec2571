#pragma once
// The buffered big-endian byte stream that every recorder file is read
// through. Device operations are virtual: DISK reads a file by path,
// MemoryIO reads bytes held in memory (tests, fuzzing).
#include <cstdint>
#include <memory>
#include <string>

// An error record: a numeric code and whether it has been shown.
struct ErrorRecord {
    std::int16_t code = 0;
    std::uint8_t reported = 0;
};

// Codes the storage layer and the readers set.
namespace ErrorCode {
inline constexpr int OpenFailed = 0x81;     // silent: its message was shown already
inline constexpr int ReadFailed = 0x82;
inline constexpr int WriteFailed = 0x83;
inline constexpr int CantGetBlock = 0x10A;
inline constexpr int BadType = 0x10C;
inline constexpr int CorruptPointers = 0x110;
inline constexpr int EndOfFile = 0x11C;
inline constexpr int InvalidFloat = 0x122;
inline constexpr int ChecksumError = 0x1100;
}  // namespace ErrorCode

// The text reportCode shows for a code, "" when it is silent.
std::string messageForCode(int code);

class IO {
public:
    // Mode flags.
    static constexpr std::uint8_t ModeWrite = 0x02;
    static constexpr std::uint8_t ModeOpen = 0x04;
    static constexpr std::uint8_t ModeCrc = 0x08;
    static constexpr int BufferSize = 1024;

    IO() = default;
    IO(const IO&) = delete;
    IO& operator=(const IO&) = delete;

    // Device operations, in slot order.
    virtual ~IO() = default;
    virtual const char* name() const { return nullptr; }
    virtual std::unique_ptr<IO> clone() const { return std::make_unique<IO>(); }
    virtual int open(int mode);
    virtual void close();
    virtual void positionDevice() {}
    virtual void fill() {}
    virtual void flush(int /*n*/) {}
    virtual std::uint32_t freeSpace() { return 1048576; }
    // Reads up to n bytes at the device position straight into out, past
    // the buffer: the number read, 0 at the end of the file, -1 when the
    // read failed (reported, main error set). Unsupported = use fill().
    static constexpr int Unsupported = -2;
    virtual int fetch(std::uint8_t* /*out*/, int /*n*/) { return Unsupported; }

    bool isOpen() const { return (modeFlags & ModeOpen) != 0; }
    void setCrcMode(bool on) { modeFlags = on ? (modeFlags | ModeCrc) : (modeFlags & ~ModeCrc); }

    std::uint8_t getByte();
    void putByte(std::uint8_t b);
    std::uint16_t getWord16();
    void putWord16(std::uint16_t w);
    std::uint32_t getWord32();
    void putWord32(std::uint32_t w);
    float getFloat();
    void putFloat(float f);
    // getFloat, but infinity or not-a-number is reported at once on the
    // secondary record (0x122) and read as 0.0.
    float getFloatChecked();
    void readBytes(void* buffer, int n);
    // n bytes as getByte would read them (checksum, errors), long runs
    // fetched from the device in one call; returns the number read, fewer
    // than n only when a main error ended the run.
    std::uint32_t readRun(std::uint8_t* out, std::uint32_t n);
    // Runs from this length are worth a device call of their own.
    static constexpr std::uint32_t DirectRun = 4096;
    // n bytes and a terminating zero after them (the buffer holds n + 1).
    void readString(char* buffer, int n);
    void writeBytes(const void* buffer, int n);
    std::uint32_t tell() const;
    void seek(std::uint32_t offset);

    static void setCode(ErrorRecord& record, int code);
    // Shows the message for a code once; code -1 reports the record's own.
    static void reportCode(ErrorRecord& record, int code);

    bool hasMainError() const { return mainError.code != 0; }

    std::uint16_t checksum = 0;
    std::uint8_t modeFlags = 0;
    std::uint32_t position = 0;
    std::int16_t readBlockSize = BufferSize;
    std::int16_t writeBlockSize = BufferSize;
    std::int16_t index = 0;
    std::int16_t count = 0;
    std::uint8_t buffer[BufferSize] = {};
    ErrorRecord mainError;
    ErrorRecord secondaryError;

    // What getByte adds to the checksum for these bytes.
    void passThrough(const std::uint8_t* p, std::size_t n);

protected:
    // The IO part of open and close that every device runs.
    void openCommon(int mode);
    void closeCommon();
};
