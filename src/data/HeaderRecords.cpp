#include "data/HeaderRecords.h"

#include <algorithm>
#include <cmath>

#include "storage/IO.h"

void GeneralHeader::read(IO& io, int expectedType, int upperType) {
    io.checksum = 0;
    version = static_cast<char>(io.getByte());
    revision = io.getByte();
    type = io.getByte();
    // The text is read before a mismatch stops the stream, so it is kept.
    io.readString(text, 10);
    if (expectedType != AnyType) {
        int upper = upperType == AnyType ? expectedType : upperType;
        bool ok = expectedType > 5 ? (type >= expectedType && type <= upper) : ((type & ~1) == expectedType);
        // A header cut short reads zeros for its type: the end of the file
        // is the error to report, not the type.
        if (!ok && !io.hasMainError()) IO::setCode(io.mainError, ErrorCode::BadType);
    }
}

bool GeneralHeader::checksumsVerified() const {
    return version > '4' || (version == '4' && revision >= 100) || (version == '1' && revision >= 121);
}

void AlarmHeader::read(IO& io) {
    mask = io.getByte();
    unsigned remaining = mask;
    for (int i = 0; remaining != 0 && i < 5; ++i, remaining >>= 1) {
        if (!(remaining & 1)) continue;
        AlarmSetPoint& r = records[i];
        r.first = io.getFloat();
        r.second = io.getFloat();
        r.type = io.getByte();
        if (r.type == 0) {
            r.first = r.second = 0.0f;
        } else {
            // Checked after the type byte is known, as the recorder wrote them.
            auto check = [&io](float& v) {
                if (!std::isfinite(v)) {
                    IO::reportCode(io.secondaryError, ErrorCode::InvalidFloat);
                    v = 0.0f;
                }
            };
            check(r.first);
            check(r.second);
        }
        r.option = io.getByte();
    }
}

int AlarmHeader::storedSize() const {
    int n = 1;
    for (int i = 0; i < 5; ++i) n += (mask >> i & 1) ? 10 : 0;
    return n;
}

namespace {

int placesFor(float x) {
    if (x == 0.0f) return 4;
    return 6 - static_cast<int>(std::floor(std::log10(std::fabs(static_cast<double>(x)))));
}

}  // namespace

void ScalesHeader::read(IO& io) {
    io.readString(label, 6);
    translateRecorderText(label);
    float low = io.getFloatChecked();
    float middle = io.getFloatChecked();
    float high = io.getFloatChecked();
    options = io.getByte();
    int places = (options & 0x10) ? (options & 0x0F) : std::clamp(std::min(placesFor(high), placesFor(low)), 0, 4);
    units.set(low, middle, high, places, 1);
}

void translateRecorderText(char* text) {
    static const unsigned char symbols[10] = {'^', 'v', '>', '<', 0xB0, 0xB5, 'W', 'D', 'S', 0xD6};
    for (unsigned char* p = reinterpret_cast<unsigned char*>(text); *p; ++p)
        if (*p >= 0x80 && *p <= 0x89) *p = symbols[*p - 0x80];
}
