#include "codec/payload.h"

#include <zstd.h>

#include <cstring>
#include <memory>

#include "codec/stroke_planes.h"

namespace zevo::codec {
namespace {

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(std::uint8_t(v >> (8 * i)));
}

// A reader over untrusted bytes: every take is checked against what remains.
struct Cursor {
  std::span<const std::uint8_t> data;
  std::size_t pos = 0;

  bool U32(std::uint32_t& v) {
    if (data.size() - pos < 4) return false;
    const std::uint8_t* p = data.data() + pos;
    v = std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
        (std::uint32_t(p[3]) << 24);
    pos += 4;
    return true;
  }
  bool Bytes(std::size_t n, std::span<const std::uint8_t>& out) {
    if (data.size() - pos < n) return false;
    out = data.subspan(pos, n);
    pos += n;
    return true;
  }
};

struct CCtxFree {
  void operator()(ZSTD_CCtx* c) const { ZSTD_freeCCtx(c); }
};
struct DCtxFree {
  void operator()(ZSTD_DCtx* c) const { ZSTD_freeDCtx(c); }
};

bool AppendFrame(ZSTD_CCtx* cctx, std::span<const std::uint8_t> src, int level,
                 std::vector<std::uint8_t>& out) {
  const std::size_t start = out.size();
  out.resize(start + ZSTD_compressBound(src.size()));
  const std::size_t n = ZSTD_compressCCtx(cctx, out.data() + start, out.size() - start, src.data(),
                                          src.size(), level);
  if (ZSTD_isError(n)) return false;
  out.resize(start + n);
  return true;
}

// One frame that must give exactly dst.size() bytes.
bool ExpandFrame(ZSTD_DCtx* dctx, std::span<const std::uint8_t> src, std::span<std::uint8_t> dst) {
  const unsigned long long declared = ZSTD_getFrameContentSize(src.data(), src.size());
  if (declared != dst.size()) return false;
  const std::size_t n = ZSTD_decompressDCtx(dctx, dst.data(), dst.size(), src.data(), src.size());
  return !ZSTD_isError(n) && n == dst.size();
}

bool BuildPlanesPayload(ZSTD_CCtx* cctx, std::span<const std::uint8_t> plain, int level,
                        std::vector<std::uint8_t>& payload) {
  StrokePlanes planes;
  if (!SplitStrokeLayout(plain, planes)) return false;
  // The split must come back byte for byte; anything it misjudged goes the plain way.
  {
    std::vector<std::uint8_t> check(plain.size());
    if (!JoinStrokeLayout(planes, check) ||
        (!plain.empty() && std::memcmp(check.data(), plain.data(), plain.size()) != 0)) {
      return false;
    }
  }
  payload.clear();
  PutU32(payload, std::uint32_t(planes.rest.size()));
  PutU32(payload, planes.sample_count);
  payload.insert(payload.end(), planes.orders.begin(), planes.orders.end());
  auto stream = [&](const std::vector<std::uint8_t>& bytes) {
    const std::size_t at = payload.size();
    PutU32(payload, 0);
    if (!AppendFrame(cctx, bytes, level, payload)) return false;
    const auto length = std::uint32_t(payload.size() - at - 4);
    for (int i = 0; i < 4; ++i) payload[at + std::size_t(i)] = std::uint8_t(length >> (8 * i));
    return true;
  };
  if (!stream(planes.rest)) return false;
  for (const auto& p : planes.planes) {
    if (!stream(p)) return false;
  }
  return true;
}

bool ExpandPlanesPayload(std::span<const std::uint8_t> payload, std::span<std::uint8_t> out) {
  Cursor in{payload};
  StrokePlanes planes;
  std::uint32_t rest_length = 0;
  std::span<const std::uint8_t> orders;
  if (!in.U32(rest_length) || !in.U32(planes.sample_count) || !in.Bytes(4, orders)) return false;
  // The sizes must add up to the plain length before anything is allocated.
  if (std::uint64_t(rest_length) + 16 * std::uint64_t(planes.sample_count) != out.size()) {
    return false;
  }
  std::memcpy(planes.orders.data(), orders.data(), 4);
  std::unique_ptr<ZSTD_DCtx, DCtxFree> dctx(ZSTD_createDCtx());
  if (!dctx) return false;
  auto stream = [&](std::vector<std::uint8_t>& into, std::size_t size) {
    std::uint32_t length = 0;
    std::span<const std::uint8_t> frame;
    if (!in.U32(length) || !in.Bytes(length, frame)) return false;
    into.resize(size);
    return ExpandFrame(dctx.get(), frame, into);
  };
  if (!stream(planes.rest, rest_length)) return false;
  for (auto& p : planes.planes) {
    if (!stream(p, planes.sample_count)) return false;
  }
  return in.pos == payload.size() && JoinStrokeLayout(planes, out);
}

}  // namespace

bool BuildPayload(std::span<const std::uint8_t> plain, int level, Method& method,
                  std::vector<std::uint8_t>& payload) {
  payload.clear();
  if (level > 0) {
    std::unique_ptr<ZSTD_CCtx, CCtxFree> cctx(ZSTD_createCCtx());
    if (!cctx) return false;
    if (BuildPlanesPayload(cctx.get(), plain, level, payload)) {
      method = Method::StrokePlanes;
    } else {
      payload.clear();
      if (!AppendFrame(cctx.get(), plain, level, payload)) return false;
      method = Method::Zstd;
    }
    if (payload.size() < plain.size()) return true;
  }
  method = Method::Stored;
  payload.assign(plain.begin(), plain.end());
  return true;
}

bool ExpandPayload(Method method, std::span<const std::uint8_t> payload,
                   std::span<std::uint8_t> out) {
  switch (method) {
    case Method::Stored:
      if (payload.size() != out.size()) return false;
      if (!out.empty()) std::memcpy(out.data(), payload.data(), out.size());
      return true;
    case Method::Zstd: {
      std::unique_ptr<ZSTD_DCtx, DCtxFree> dctx(ZSTD_createDCtx());
      return dctx && ExpandFrame(dctx.get(), payload, out);
    }
    case Method::StrokePlanes:
      return ExpandPlanesPayload(payload, out);
  }
  return false;
}

}  // namespace zevo::codec
