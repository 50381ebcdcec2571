#include "storage/IO.h"

#include <array>
#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>

#include "notice/UserNotice.h"

namespace {

const std::array<const char*, 36> MessageTable = {
    "",
    "Can't set up port",
    "Device is not connected or not turned on.",
    "Disk or Card is write protected.",
    "Disk or Card is absent.",
    "Can't flush port.",
    "Can't get status.",
    "Command Aborted",
    "Write Error",
    "Address overrun",
    "Can't get block.",
    "Device is not responding.",
    "Bad Type",
    "@ Missing",
    "ACK missing.",
    "Too many Alarms.",
    "Pointers are corrupted",
    "Pointers are pointing backwards.",
    "File format not supported by this version of CVX.",
    "No channels",
    "Too many channels",
    "Not enough memory.",
    "Not enough room for file",
    "Card appears to have the Test pattern on it.\n It Must be erased before using.",
    "Sample Rate = 0",
    "Recording is on.",
    "Card was removed during operation.",
    "Not Acknowledged.",
    "End of File",
    "No Disk Present",
    "Disk not ready",
    "Illegal Command",
    "Error Response",
    "Bad Length",
    "Invalid Floating Point number.",
    "Invalid Time",
};

constexpr std::uint16_t crcStep(std::uint16_t crc, std::uint8_t byte) {
    crc ^= byte;
    for (int i = 0; i < 8; ++i) crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : static_cast<std::uint16_t>(crc >> 1);
    return crc;
}

// The stream's CRC eight bytes at a step: table k advances a byte's
// contribution by k further bytes.
struct CrcTables {
    std::uint16_t t[8][256];
    constexpr CrcTables() : t() {
        for (unsigned b = 0; b < 256; ++b) t[0][b] = crcStep(0, static_cast<std::uint8_t>(b));
        for (int k = 1; k < 8; ++k)
            for (unsigned b = 0; b < 256; ++b) t[k][b] = static_cast<std::uint16_t>((t[k - 1][b] >> 8) ^ t[0][t[k - 1][b] & 0xFF]);
    }
};
constexpr CrcTables Crc;

std::uint16_t crcOf(std::uint16_t reg, const std::uint8_t* p, std::size_t n) {
    const auto& t = Crc.t;
    for (; n >= 8; n -= 8, p += 8) {
        reg = static_cast<std::uint16_t>(reg ^ (p[0] | p[1] << 8));
        reg = static_cast<std::uint16_t>(t[7][reg & 0xFF] ^ t[6][reg >> 8] ^ t[5][p[2]] ^ t[4][p[3]] ^ t[3][p[4]] ^ t[2][p[5]] ^
                                         t[1][p[6]] ^ t[0][p[7]]);
    }
    for (; n > 0; --n, ++p) reg = static_cast<std::uint16_t>((reg >> 8) ^ t[0][(reg ^ *p) & 0xFF]);
    return reg;
}

}  // namespace

std::string messageForCode(int code) {
    // Codes are held in 16 bits; a code such as 0x1100 is negative nowhere,
    // but treat the record's value as unsigned when choosing the text.
    unsigned c = static_cast<std::uint16_t>(code);
    if (c == 0) return "";
    if (c <= 0x2C) {
        char text[32];
        std::snprintf(text, sizeof text, "Serial error = %X", c);
        return text;
    }
    if (c < 256) return "";
    std::string message;
    if (c & 0x200) message = "Input Timeout.\n";
    else if (c & 0x400) message = "Input error.\n";
    else if (c & 0x800) message = "Bad Count.\n";
    else if (c & 0x1000) message = "Checksum error.\n";
    unsigned entry = c & 0xFF;
    message += entry < MessageTable.size() ? MessageTable[entry] : "Unknown Error";
    return message;
}

int IO::open(int mode) {
    openCommon(mode);
    return 1;
}

void IO::close() { closeCommon(); }

void IO::openCommon(int mode) {
    modeFlags = static_cast<std::uint8_t>(mode | ModeOpen);
    beginBusy();
    if (mainError.code != 0) mainError = ErrorRecord{};
    index = count = 0;
    position = 0;
}

void IO::closeCommon() {
    modeFlags &= static_cast<std::uint8_t>(~ModeOpen);
    endBusy();
    reportCode(mainError, -1);
}

std::uint8_t IO::getByte() {
    if (mainError.code != 0) return 0;
    if (index >= count) {
        index = 0;
        fill();
        // A failed fill leaves no bytes: the read yields zero.
        if (mainError.code != 0 || count <= 0) return 0;
    }
    std::uint8_t b = buffer[index++];
    if (modeFlags & ModeCrc) checksum = crcStep(checksum, b);
    else checksum = static_cast<std::uint16_t>(checksum + b);
    return b;
}

void IO::putByte(std::uint8_t b) {
    checksum = static_cast<std::uint16_t>(checksum + b);
    if (mainError.code != 0) return;
    buffer[index++] = b;
    if (index >= writeBlockSize || index >= BufferSize) {
        flush(index);
        // A device that wrote nothing (a plain IO, a stream never opened)
        // drops the bytes rather than run past the buffer.
        index = 0;
    }
}

std::uint16_t IO::getWord16() {
    std::uint16_t hi = getByte();
    return static_cast<std::uint16_t>(hi << 8 | getByte());
}

void IO::putWord16(std::uint16_t w) {
    putByte(static_cast<std::uint8_t>(w >> 8));
    putByte(static_cast<std::uint8_t>(w));
}

std::uint32_t IO::getWord32() {
    std::uint32_t hi = getWord16();
    return hi << 16 | getWord16();
}

void IO::putWord32(std::uint32_t w) {
    putWord16(static_cast<std::uint16_t>(w >> 16));
    putWord16(static_cast<std::uint16_t>(w));
}

float IO::getFloat() { return std::bit_cast<float>(getWord32()); }

void IO::putFloat(float f) { putWord32(std::bit_cast<std::uint32_t>(f)); }

float IO::getFloatChecked() {
    std::uint32_t bits = getWord32();
    if ((bits & 0x7F800000u) == 0x7F800000u) {
        reportCode(secondaryError, ErrorCode::InvalidFloat);
        return 0.0f;
    }
    return std::bit_cast<float>(bits);
}

void IO::readBytes(void* out, int n) {
    auto* p = static_cast<std::uint8_t*>(out);
    for (int i = 0; i < n; ++i) p[i] = getByte();
}

void IO::passThrough(const std::uint8_t* p, std::size_t n) {
    if (modeFlags & ModeCrc) {
        checksum = crcOf(checksum, p, n);
        return;
    }
    std::uint16_t reg = checksum;
    for (std::size_t i = 0; i < n; ++i) reg = static_cast<std::uint16_t>(reg + p[i]);
    checksum = reg;
}

std::uint32_t IO::readRun(std::uint8_t* out, std::uint32_t n) {
    std::uint32_t got = 0;
    while (got < n && mainError.code == 0) {
        if (index < count) {
            const auto k = std::min<std::uint32_t>(static_cast<std::uint32_t>(count - index), n - got);
            std::memcpy(out + got, buffer + index, k);
            passThrough(out + got, k);
            index = static_cast<std::int16_t>(index + k);
            got += k;
            continue;
        }
        if (n - got >= DirectRun) {
            const int want = static_cast<int>(std::min<std::uint32_t>(n - got, 1u << 30));
            const int r = fetch(out + got, want);
            if (r != Unsupported) {
                // The buffer holds nothing of where the stream now stands.
                index = count = 0;
                if (r <= 0) {
                    if (r == 0) setCode(mainError, ErrorCode::EndOfFile);
                    break;
                }
                passThrough(out + got, static_cast<std::size_t>(r));
                position += static_cast<std::uint32_t>(r);
                got += static_cast<std::uint32_t>(r);
                continue;
            }
        }
        index = 0;
        fill();
        if (mainError.code != 0 || count <= 0) break;
    }
    return got;
}

void IO::readString(char* out, int n) {
    readBytes(out, n);
    out[n] = '\0';
}

void IO::writeBytes(const void* in, int n) {
    const auto* p = static_cast<const std::uint8_t*>(in);
    for (int i = 0; i < n; ++i) putByte(p[i]);
}

std::uint32_t IO::tell() const {
    if (modeFlags & ModeWrite) return position + static_cast<std::uint32_t>(index);
    return position - static_cast<std::uint32_t>(count) + static_cast<std::uint32_t>(index);
}

void IO::seek(std::uint32_t offset) {
    if (modeFlags & ModeWrite) {
        flush(index);
        position = offset;
        positionDevice();
        return;
    }
    // Offsets are compared in 64 bits so a buffer near the 4 GiB mark
    // cannot wrap into a false hit.
    std::int64_t r = static_cast<std::int64_t>(offset) - (static_cast<std::int64_t>(position) - count);
    if (r >= 0 && r < count) {
        index = static_cast<std::int16_t>(r);
        return;
    }
    count = index = 0;
    position = offset;
    positionDevice();
}

void IO::setCode(ErrorRecord& record, int code) {
    if (code != record.code) record.reported = 0;
    record.code = static_cast<std::int16_t>(code);
}

void IO::reportCode(ErrorRecord& record, int code) {
    if (code >= 0) {
        if (code == 0 || static_cast<std::int16_t>(code) == record.code) return;
        record.code = static_cast<std::int16_t>(code);
        record.reported = 0;
    }
    if (record.code == 0 || record.reported) return;
    record.reported = 1;
    std::string message = messageForCode(record.code);
    if (!message.empty()) showError(message);
}
