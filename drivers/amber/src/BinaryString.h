#pragma once
// A command of the record language: up to 255 bytes of any value, zero included. Growing
// past 255 bytes throws BinaryString::Error and leaves the string as it was.

#include <cstddef>
#include <cstdint>
#include <string>

class BinaryString {
public:
    static constexpr std::size_t MaxLength = 255;

    struct Error {
        int code = 1;            // 1: longer than 255 bytes
        std::size_t needed = 0;  // the length that was asked for
    };

    BinaryString() = default;
    explicit BinaryString(const char* text);
    BinaryString(const std::uint8_t* data, std::size_t length);

    void Append(std::uint8_t byte);
    void Append(const BinaryString& other);
    void Assign(const BinaryString& other);
    void Clear() { bytes_.clear(); }
    // The first position holding the byte, or -1.
    int Find(std::uint8_t byte) const;
    BinaryString Substring(std::size_t from, std::size_t length) const;

    std::size_t Length() const { return bytes_.size(); }
    std::size_t Capacity() const { return capacity_; }
    bool Empty() const { return bytes_.empty(); }
    std::uint8_t& operator[](std::size_t i) { return reinterpret_cast<std::uint8_t&>(bytes_[i]); }
    std::uint8_t operator[](std::size_t i) const { return std::uint8_t(bytes_[i]); }
    const char* Data() const { return bytes_.data(); }
    // The bytes as a std::string (for tests and writing).
    const std::string& Bytes() const { return bytes_; }

    bool operator==(const BinaryString& other) const { return bytes_ == other.bytes_; }

private:
    void Need(std::size_t length) const;

    std::string bytes_;
    std::size_t capacity_ = 62;
};
