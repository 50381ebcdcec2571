#pragma once
// The samples of one recording block, in the element type its data type
// gives: 16-bit words, bytes or floats. value() hands out the raw reading
// that UNITS converts.
#include <cstdint>
#include <memory>

class IO;

class DataTypeAr {
public:
    DataTypeAr(std::uint16_t n, bool twosComplement) : count(n), isSigned(twosComplement ? 1 : 0) {}
    DataTypeAr(const DataTypeAr&) = delete;
    DataTypeAr& operator=(const DataTypeAr&) = delete;

    virtual ~DataTypeAr() = default;
    // The raw value; 0 for an index at or beyond count.
    virtual double value(std::uint16_t index) const = 0;
    // Reads up to count samples, stopping at the stream's main error; count
    // becomes the number that arrived whole.
    virtual void readAll(IO& stream) = 0;
    virtual void readOne(IO& stream, std::uint16_t index) = 0;
    virtual void writeAll(IO& stream) const = 0;

    std::uint16_t count;
    std::uint16_t isSigned;

protected:
    // Arrays start unset (readAll writes every sample it keeps, and the
    // first touch of megabytes of zeros costs as much as the read); reading
    // single samples first sets the rest to zero.
    bool defined_ = false;
};

// Data types 0 (two's complement) and 1 (unsigned).
class IntData final : public DataTypeAr {
public:
    IntData(std::uint16_t n, bool twosComplement);
    double value(std::uint16_t index) const override {
        if (index >= count) return 0.0;
        return isSigned ? double(std::int16_t(values[index])) : double(values[index]);
    }
    void readAll(IO& stream) override;
    void readOne(IO& stream, std::uint16_t index) override;
    void writeAll(IO& stream) const override;
    // The stored words, for a caller that knows the type.
    const std::uint16_t* data() const { return values.get(); }

private:
    std::unique_ptr<std::uint16_t[]> values;
};

// Data type 3.
class CharData final : public DataTypeAr {
public:
    explicit CharData(std::uint16_t n);
    double value(std::uint16_t index) const override {
        if (index >= count) return 0.0;
        return isSigned ? double(std::int8_t(values[index])) : double(values[index]);
    }
    void readAll(IO& stream) override;
    void readOne(IO& stream, std::uint16_t index) override;
    void writeAll(IO& stream) const override;
    const std::uint8_t* data() const { return values.get(); }

private:
    std::unique_ptr<std::uint8_t[]> values;
};

// Data type 2.
class FloatData final : public DataTypeAr {
public:
    explicit FloatData(std::uint16_t n);
    double value(std::uint16_t index) const override { return index < count ? double(values[index]) : 0.0; }
    void readAll(IO& stream) override;
    void readOne(IO& stream, std::uint16_t index) override;
    void writeAll(IO& stream) const override;
    const float* data() const { return values.get(); }

private:
    std::unique_ptr<float[]> values;
};

// The array for a block's data type, or null when the samples cannot be
// held: a data type above 3, a count beyond 16 bits, or 32767 or more
// 16-bit samples.
std::unique_ptr<DataTypeAr> makeSampleArray(unsigned dataType, std::uint32_t count);
