#include "storage/IO.h"
#include "time/CTime.h"

namespace {

std::int32_t signedByte(std::uint8_t b) { return static_cast<std::int8_t>(b); }

}  // namespace

CTime readStored(IO& io) {
    StoredTime s;
    s.tenths = signedByte(io.getByte());
    s.second = signedByte(io.getByte());
    s.minute = signedByte(io.getByte());
    s.hour = signedByte(io.getByte());
    s.day = io.getWord16();
    return fromStored(s);
}

void writeStored(IO& io, CTime t) {
    StoredTime s = toStored(t);
    io.putByte(static_cast<std::uint8_t>(s.tenths));
    io.putByte(static_cast<std::uint8_t>(s.second));
    io.putByte(static_cast<std::uint8_t>(s.minute));
    io.putByte(static_cast<std::uint8_t>(s.hour));
    io.putWord16(s.day);
}
