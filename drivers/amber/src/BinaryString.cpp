#include "BinaryString.h"

#include <algorithm>
#include <cstring>

BinaryString::BinaryString(const char* text) {
    std::size_t n = text ? std::strlen(text) : 0;
    Need(n);
    bytes_.assign(text ? text : "", n);
    capacity_ = std::max<std::size_t>(capacity_, n);
}

BinaryString::BinaryString(const std::uint8_t* data, std::size_t length) {
    Need(length);
    bytes_.assign(reinterpret_cast<const char*>(data), length);
    capacity_ = length;
}

void BinaryString::Need(std::size_t length) const {
    if (length > MaxLength) throw Error{1, length};
}

void BinaryString::Append(std::uint8_t byte) {
    Need(bytes_.size() + 1);
    if (bytes_.size() == capacity_) capacity_ = bytes_.size() > 222 ? MaxLength : capacity_ + 32;
    bytes_ += char(byte);
}

void BinaryString::Append(const BinaryString& other) {
    Need(bytes_.size() + other.bytes_.size());
    bytes_ += other.bytes_;
    capacity_ = std::max(capacity_, bytes_.size());
}

void BinaryString::Assign(const BinaryString& other) {
    Clear();
    Append(other);
}

int BinaryString::Find(std::uint8_t byte) const {
    std::size_t at = bytes_.find(char(byte));
    return at == std::string::npos ? -1 : int(at);
}

BinaryString BinaryString::Substring(std::size_t from, std::size_t length) const {
    if (from > bytes_.size()) from = bytes_.size();
    length = std::min(length, bytes_.size() - from);
    return BinaryString(reinterpret_cast<const std::uint8_t*>(bytes_.data()) + from, length);
}
