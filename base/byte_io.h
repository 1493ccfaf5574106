#pragma once

// Little-endian values in byte buffers: a bounds-checked reader for untrusted bytes, a writer
// that appends to a vector, and plain loads and stores for loops that checked their bounds
// already. Header-only, so that the codec library can use it without linking the core.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <span>
#include <stdexcept>
#include <vector>

namespace zevo::base {

// Receives the bytes of a file image as they are produced, in order.
using ByteSink = std::function<void(const std::uint8_t*, std::size_t)>;

inline std::uint16_t LoadU16LE(const std::uint8_t* p) {
  return std::uint16_t(p[0] | (p[1] << 8));
}

inline std::uint32_t LoadU32LE(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
         (std::uint32_t(p[3]) << 24);
}

inline void StoreU16LE(std::uint8_t* p, std::uint16_t v) {
  p[0] = std::uint8_t(v);
  p[1] = std::uint8_t(v >> 8);
}

inline void StoreU32LE(std::uint8_t* p, std::uint32_t v) {
  p[0] = std::uint8_t(v);
  p[1] = std::uint8_t(v >> 8);
  p[2] = std::uint8_t(v >> 16);
  p[3] = std::uint8_t(v >> 24);
}

// Reads from bytes it does not own. A read takes its bytes only when all of them are there;
// otherwise it leaves its output and the position alone and returns false, and so does every
// read after it: a parser that missed one failure cannot go on to read the following field
// from the wrong place.
class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::size_t Position() const { return pos_; }
  std::size_t Remaining() const { return bytes_.size() - pos_; }
  bool Failed() const { return failed_; }

  [[nodiscard]] bool Skip(std::size_t n) {
    if (!Take(n)) return false;
    pos_ += n;
    return true;
  }
  [[nodiscard]] bool ReadU8(std::uint8_t& v) {
    if (!Take(1)) return false;
    v = bytes_[pos_++];
    return true;
  }
  [[nodiscard]] bool ReadU16(std::uint16_t& v) {
    if (!Take(2)) return false;
    v = LoadU16LE(bytes_.data() + pos_);
    pos_ += 2;
    return true;
  }
  [[nodiscard]] bool ReadU32(std::uint32_t& v) {
    if (!Take(4)) return false;
    v = LoadU32LE(bytes_.data() + pos_);
    pos_ += 4;
    return true;
  }
  [[nodiscard]] bool ReadI32(std::int32_t& v) {
    std::uint32_t u = 0;
    if (!ReadU32(u)) return false;
    v = std::int32_t(u);
    return true;
  }
  // The four bytes as they are: NaN payloads and signalling NaNs come through unchanged.
  [[nodiscard]] bool ReadF32(float& v) {
    std::uint32_t u = 0;
    if (!ReadU32(u)) return false;
    v = std::bit_cast<float>(u);
    return true;
  }
  // The next n bytes, without copying them.
  [[nodiscard]] bool ReadBytes(std::size_t n, std::span<const std::uint8_t>& out) {
    if (!Take(n)) return false;
    out = bytes_.subspan(pos_, n);
    pos_ += n;
    return true;
  }
  // Fills out with the next out.size() bytes.
  [[nodiscard]] bool ReadInto(std::span<std::uint8_t> out) { return Copy(out.data(), out.size()); }
  [[nodiscard]] bool ReadInto(std::span<char> out) { return Copy(out.data(), out.size()); }

 private:
  bool Copy(void* out, std::size_t n) {
    if (!Take(n)) return false;
    if (n > 0) std::memcpy(out, bytes_.data() + pos_, n);
    pos_ += n;
    return true;
  }
  bool Take(std::size_t n) {
    if (failed_ || n > Remaining()) failed_ = true;
    return !failed_;
  }

  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
  bool failed_ = false;
};

// Appends to a vector it does not own.
class ByteWriter {
 public:
  explicit ByteWriter(std::vector<std::uint8_t>& out) : out_(out) {}

  std::size_t Size() const { return out_.size(); }

  void WriteU8(std::uint8_t v) { out_.push_back(v); }
  void WriteU16(std::uint16_t v) {
    out_.push_back(std::uint8_t(v));
    out_.push_back(std::uint8_t(v >> 8));
  }
  void WriteU32(std::uint32_t v) {
    out_.push_back(std::uint8_t(v));
    out_.push_back(std::uint8_t(v >> 8));
    out_.push_back(std::uint8_t(v >> 16));
    out_.push_back(std::uint8_t(v >> 24));
  }
  void WriteI32(std::int32_t v) { WriteU32(std::uint32_t(v)); }
  void WriteF32(float v) { WriteU32(std::bit_cast<std::uint32_t>(v)); }
  void WriteBytes(std::span<const std::uint8_t> bytes) {
    out_.insert(out_.end(), bytes.begin(), bytes.end());
  }
  void WriteBytes(const void* data, std::size_t n) {
    const auto* b = static_cast<const std::uint8_t*>(data);
    out_.insert(out_.end(), b, b + n);
  }

  // Overwrites four bytes already written, such as a length known only at the end. A patch
  // beyond what was written is a mistake of the caller and throws std::out_of_range.
  void PutU32At(std::size_t offset, std::uint32_t v) {
    if (offset > out_.size() || out_.size() - offset < 4) {
      throw std::out_of_range("ByteWriter::PutU32At past the end");
    }
    StoreU32LE(out_.data() + offset, v);
  }

 private:
  std::vector<std::uint8_t>& out_;
};

}  // namespace zevo::base
