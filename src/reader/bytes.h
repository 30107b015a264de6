// Bounds-checked, read-only views over byte buffers.
//
// Every offset that comes out of a datafile is untrusted. All decoding goes
// through ByteView, whose accessors return std::nullopt instead of reading
// past the end of the buffer. No accessor ever reads outside [data, data+size).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace quillon {

class ByteView {
 public:
  constexpr ByteView() = default;
  constexpr ByteView(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  constexpr explicit ByteView(std::span<const std::uint8_t> s) : data_(s.data()), size_(s.size()) {}

  constexpr std::size_t size() const { return size_; }
  constexpr bool empty() const { return size_ == 0; }
  constexpr const std::uint8_t* data() const { return data_; }
  std::span<const std::uint8_t> span() const { return {data_, size_}; }

  // True when [offset, offset + count) lies inside the view (overflow-safe).
  constexpr bool Has(std::size_t offset, std::size_t count) const {
    return offset <= size_ && count <= size_ - offset;
  }

  std::optional<std::uint8_t> U8(std::size_t offset) const {
    if (!Has(offset, 1)) return std::nullopt;
    return data_[offset];
  }
  std::optional<std::uint16_t> U16LE(std::size_t offset) const {
    if (!Has(offset, 2)) return std::nullopt;
    return static_cast<std::uint16_t>(data_[offset] | (data_[offset + 1] << 8));
  }
  std::optional<std::uint16_t> U16BE(std::size_t offset) const {
    if (!Has(offset, 2)) return std::nullopt;
    return static_cast<std::uint16_t>((data_[offset] << 8) | data_[offset + 1]);
  }
  std::optional<std::uint32_t> U32LE(std::size_t offset) const {
    if (!Has(offset, 4)) return std::nullopt;
    return static_cast<std::uint32_t>(data_[offset]) |
           (static_cast<std::uint32_t>(data_[offset + 1]) << 8) |
           (static_cast<std::uint32_t>(data_[offset + 2]) << 16) |
           (static_cast<std::uint32_t>(data_[offset + 3]) << 24);
  }
  std::optional<std::uint32_t> U32BE(std::size_t offset) const {
    if (!Has(offset, 4)) return std::nullopt;
    return (static_cast<std::uint32_t>(data_[offset]) << 24) |
           (static_cast<std::uint32_t>(data_[offset + 1]) << 16) |
           (static_cast<std::uint32_t>(data_[offset + 2]) << 8) |
           static_cast<std::uint32_t>(data_[offset + 3]);
  }

  // The sub-range [offset, offset + count); std::nullopt when it does not fit.
  std::optional<ByteView> Sub(std::size_t offset, std::size_t count) const {
    if (!Has(offset, count)) return std::nullopt;
    return ByteView(data_ + offset, count);
  }
  // Everything from offset to the end (empty when offset is past the end).
  ByteView From(std::size_t offset) const {
    if (offset >= size_) return {};
    return ByteView(data_ + offset, size_ - offset);
  }

  // A fixed-width ASCII field up to its first zero byte (at most count bytes,
  // cut to what the view holds).
  std::string AsciiField(std::size_t offset, std::size_t count) const {
    std::string out;
    for (std::size_t i = 0; i < count && Has(offset + i, 1); ++i) {
      const char c = static_cast<char>(data_[offset + i]);
      if (c == '\0') break;
      out.push_back(c);
    }
    return out;
  }

 private:
  const std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
};

// Little helpers for writers (the test database generator, tests).
inline void PutU16LE(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void PutU32LE(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void PutU16BE(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v >> 8);
  p[1] = static_cast<std::uint8_t>(v);
}
inline void PutU32BE(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * (3 - i)));
}

// Lower-case hexadecimal of a byte range ("c102").
std::string ToHex(ByteView bytes);
// The same appended to out.
void AppendHex(ByteView bytes, std::string& out);

}  // namespace quillon
