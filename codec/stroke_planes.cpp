#include "codec/stroke_planes.h"

#include <cstring>

#include "base/byte_io.h"

namespace zevo::codec {
namespace {

constexpr std::size_t kSampleBytes = 16;

std::size_t HeaderSize(const std::uint8_t* magic) {
  if (std::memcmp(magic, "Zvr3", 4) == 0) return 556;
  if (std::memcmp(magic, "Zvr2", 4) == 0) return 544;
  if (std::memcmp(magic, "Zvrn", 4) == 0) return 20;
  return 0;
}

// The record structure, walked the same way in both directions so that splitting and joining
// cannot disagree. The side supplies:
//   bool Copy(n)        the next n bytes go through `rest`
//   const uint8_t* At(offset)  bytes already passed (offset < position)
//   bool Samples(n)     the next n samples go through the field planes
// The walker checks every length against `length` before asking for it.
template <class Side>
bool WalkLayout(std::size_t length, Side& side) {
  if (length < 4 || !side.Copy(4)) return false;
  const std::size_t header = HeaderSize(side.At(0));
  if (header == 0 || header > length || !side.Copy(header - 4)) return false;
  std::size_t pos = header;
  auto take = [&](std::size_t n) {
    if (n > length - pos || !side.Copy(n)) return false;
    pos += n;
    return true;
  };
  while (pos < length) {
    // A tail too short for a record head is kept as it is.
    if (length - pos < 8) return take(length - pos);
    const std::size_t head = pos;
    if (!take(8)) return false;
    switch (base::LoadU32LE(side.At(head))) {
      case 0: {  // ink: n, then n samples
        if (!take(4)) return false;
        const std::uint32_t n = base::LoadU32LE(side.At(head + 8));
        if (n > (length - pos) / kSampleBytes || !side.Samples(n)) return false;
        pos += std::size_t(n) * kSampleBytes;
        break;
      }
      case 1:    // picture: x, y, L, L bytes
      case 5: {  // background: a, b, L, L bytes
        if (!take(12)) return false;
        if (!take(base::LoadU32LE(side.At(head + 16)))) return false;
        break;
      }
      case 2: {  // stamp: x, y, w, h, P, H, P / 8 * H bytes
        if (!take(24)) return false;
        const auto p = std::int32_t(base::LoadU32LE(side.At(head + 24)));
        const auto h = std::int32_t(base::LoadU32LE(side.At(head + 28)));
        if (p < 0 || h < 0) return false;
        const std::uint64_t bytes = std::uint64_t(p / 8) * std::uint64_t(h);
        if (bytes > length - pos || !take(std::size_t(bytes))) return false;
        break;
      }
      case 3:  // fill: x, y
        if (!take(8)) return false;
        break;
      default:  // unknown kinds are two words long
        break;
    }
  }
  return true;
}

std::uint32_t ZigZag(std::uint32_t v) {
  return (v << 1) ^ (0u - (v >> 31));
}
std::uint32_t UnZigZag(std::uint32_t v) {
  return (v >> 1) ^ (0u - (v & 1));
}

std::uint32_t Predict(int order, const std::uint32_t* w, std::size_t i) {
  if (order == 0 || i == 0) return 0;
  if (order == 1 || i == 1) return w[i - 1];
  return 2 * w[i - 1] - w[i - 2];
}

int BitLength(std::uint32_t v) {
  return v == 0 ? 0 : 32 - __builtin_clz(v);
}

// The order whose residuals need the fewest significant bits.
std::uint8_t ChooseOrder(const std::vector<std::uint32_t>& w) {
  std::uint64_t cost[3] = {0, 0, 0};
  for (std::size_t i = 0; i < w.size(); ++i) {
    for (int order = 0; order < 3; ++order) {
      cost[order] += std::uint64_t(BitLength(ZigZag(w[i] - Predict(order, w.data(), i))));
    }
  }
  std::uint8_t best = 0;
  for (std::uint8_t order = 1; order < 3; ++order) {
    if (cost[order] < cost[best]) best = order;
  }
  return best;
}

struct SplitSide {
  std::span<const std::uint8_t> plain;
  std::size_t pos = 0;
  std::vector<std::uint8_t>& rest;
  std::array<std::vector<std::uint32_t>, StrokePlanes::kFields>& fields;

  bool Copy(std::size_t n) {
    rest.insert(rest.end(), plain.begin() + std::ptrdiff_t(pos),
                plain.begin() + std::ptrdiff_t(pos + n));
    pos += n;
    return true;
  }
  const std::uint8_t* At(std::size_t offset) const { return plain.data() + offset; }
  bool Samples(std::uint32_t n) {
    for (std::uint32_t i = 0; i < n; ++i, pos += kSampleBytes) {
      for (int f = 0; f < StrokePlanes::kFields; ++f) {
        fields[std::size_t(f)].push_back(base::LoadU32LE(plain.data() + pos + 4 * std::size_t(f)));
      }
    }
    return true;
  }
};

struct JoinSide {
  std::span<std::uint8_t> out;
  std::size_t pos = 0;
  std::span<const std::uint8_t> rest;
  std::size_t rest_pos = 0;
  const std::array<std::vector<std::uint32_t>, StrokePlanes::kFields>& fields;
  std::size_t sample = 0;

  bool Copy(std::size_t n) {
    if (n > rest.size() - rest_pos || n > out.size() - pos) return false;
    std::memcpy(out.data() + pos, rest.data() + rest_pos, n);
    pos += n;
    rest_pos += n;
    return true;
  }
  const std::uint8_t* At(std::size_t offset) const { return out.data() + offset; }
  bool Samples(std::uint32_t n) {
    if (n > fields[0].size() - sample) return false;
    if (std::size_t(n) * kSampleBytes > out.size() - pos) return false;
    for (std::uint32_t i = 0; i < n; ++i, ++sample, pos += kSampleBytes) {
      for (int f = 0; f < StrokePlanes::kFields; ++f) {
        base::StoreU32LE(out.data() + pos + 4 * std::size_t(f), fields[std::size_t(f)][sample]);
      }
    }
    return true;
  }
};

}  // namespace

bool SplitStrokeLayout(std::span<const std::uint8_t> plain, StrokePlanes& out) {
  out = StrokePlanes{};
  std::array<std::vector<std::uint32_t>, StrokePlanes::kFields> fields;
  // Almost every byte of a pen history is a sample; reserve for that.
  for (auto& f : fields) f.reserve(plain.size() / kSampleBytes);
  SplitSide side{plain, 0, out.rest, fields};
  if (!WalkLayout(plain.size(), side) || side.pos != plain.size()) return false;

  const std::size_t n = fields[0].size();
  if (n > UINT32_MAX) return false;
  out.sample_count = std::uint32_t(n);
  for (int f = 0; f < StrokePlanes::kFields; ++f) {
    const auto& w = fields[std::size_t(f)];
    const std::uint8_t order = ChooseOrder(w);
    out.orders[std::size_t(f)] = order;
    std::uint8_t* plane[4];
    for (int b = 0; b < 4; ++b) {
      auto& p = out.planes[std::size_t(f * 4 + b)];
      p.resize(n);
      plane[b] = p.data();
    }
    for (std::size_t i = 0; i < n; ++i) {
      const std::uint32_t z = ZigZag(w[i] - Predict(order, w.data(), i));
      plane[0][i] = std::uint8_t(z);
      plane[1][i] = std::uint8_t(z >> 8);
      plane[2][i] = std::uint8_t(z >> 16);
      plane[3][i] = std::uint8_t(z >> 24);
    }
  }
  return true;
}

bool JoinStrokeLayout(const StrokePlanes& planes, std::span<std::uint8_t> out) {
  const std::size_t n = planes.sample_count;
  for (const auto& p : planes.planes) {
    if (p.size() != n) return false;
  }
  if (n > out.size() / kSampleBytes) return false;
  std::array<std::vector<std::uint32_t>, StrokePlanes::kFields> fields;
  for (int f = 0; f < StrokePlanes::kFields; ++f) {
    const int order = planes.orders[std::size_t(f)];
    if (order > 2) return false;
    auto& w = fields[std::size_t(f)];
    w.resize(n);
    const std::uint8_t* plane[4];
    for (int b = 0; b < 4; ++b) plane[b] = planes.planes[std::size_t(f * 4 + b)].data();
    for (std::size_t i = 0; i < n; ++i) {
      const std::uint32_t z = std::uint32_t(plane[0][i]) | (std::uint32_t(plane[1][i]) << 8) |
                              (std::uint32_t(plane[2][i]) << 16) |
                              (std::uint32_t(plane[3][i]) << 24);
      w[i] = UnZigZag(z) + Predict(order, w.data(), i);
    }
  }
  JoinSide side{out, 0, planes.rest, 0, fields, 0};
  return WalkLayout(out.size(), side) && side.pos == out.size() &&
         side.rest_pos == planes.rest.size() && side.sample == n;
}

}  // namespace zevo::codec
