#pragma once

// Builds stroke file bytes by hand, field by field, independently of the writer.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace zevo::files::testing {

class LayoutBytes {
 public:
  LayoutBytes& Raw(const std::string& s) {
    bytes.insert(bytes.end(), s.begin(), s.end());
    return *this;
  }
  LayoutBytes& U32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes.push_back(std::uint8_t(v >> (8 * i)));
    return *this;
  }
  LayoutBytes& F32(float f) {
    std::uint32_t v;
    std::memcpy(&v, &f, 4);
    return U32(v);
  }
  LayoutBytes& Text(const std::string& s) {  // a 256-byte text field
    std::string t = s;
    t.resize(256, '\0');
    return Raw(t);
  }
  LayoutBytes& Sample(float x, float y, float r, std::uint32_t reserved = 0) {
    return F32(x).F32(y).F32(r).U32(reserved);
  }
  LayoutBytes& Bytes(const std::vector<std::uint8_t>& b) {
    bytes.insert(bytes.end(), b.begin(), b.end());
    return *this;
  }
  // Writes the total length at offset `at`, as the header's file size.
  LayoutBytes& PatchSize(std::size_t at, std::int64_t adjust = 0) {
    const auto v = std::uint32_t(std::int64_t(bytes.size()) + adjust);
    for (int i = 0; i < 4; ++i) bytes[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
    return *this;
  }

  std::vector<std::uint8_t> bytes;
};

// The headers begin as their magic rather than as an insert into an empty vector, which gcc 12
// misjudges as an overflow once it is inlined.
inline LayoutBytes Gen1Header(int w = 1024, int h = 718) {
  LayoutBytes b{{'Z', 'v', 'r', 'n'}};
  b.U32(0).U32(99).U32(std::uint32_t(w)).U32(std::uint32_t(h));
  return b;
}

inline LayoutBytes Gen2Header(std::int32_t step = 1, std::uint32_t grid1 = 0x00200010) {
  LayoutBytes b{{'Z', 'v', 'r', '2'}};
  b.U32(0).U32(99).U32(800).U32(600).Text("Wang Xizhi").Text("secret");
  b.U32(0xFFFFFFFEu).U32(std::uint32_t(step)).U32(grid1);
  return b;
}

inline LayoutBytes Gen3Header(std::int32_t step = 1, std::uint32_t version = 0x00010003) {
  LayoutBytes b{{'Z', 'v', 'r', '3'}};
  b.U32(version).U32(0).U32(42).U32(1024).U32(718).Text("Yan Zhenqing");
  b.Text("pw").U32(0xFFFFFFFDu).U32(std::uint32_t(step));
  b.U32(0x00300030).U32(0x00050004).U32(0x00060007);
  return b;
}

// Offset of the file size word.
inline std::size_t SizeOffset(const LayoutBytes& b) {
  return b.bytes[3] == '3' ? 8 : 4;
}

}  // namespace zevo::files::testing
