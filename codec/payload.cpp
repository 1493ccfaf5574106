#include "codec/payload.h"

#include <zstd.h>

#include <cstring>
#include <memory>

#include "base/byte_io.h"
#include "codec/stroke_planes.h"

namespace zevo::codec {
namespace {

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
  base::ByteWriter out(payload);
  out.WriteU32(std::uint32_t(planes.rest.size()));
  out.WriteU32(planes.sample_count);
  out.WriteBytes(planes.orders);
  auto stream = [&](const std::vector<std::uint8_t>& bytes) {
    const std::size_t at = out.Size();
    out.WriteU32(0);  // the frame's length, known once it is there
    if (!AppendFrame(cctx, bytes, level, payload)) return false;
    out.PutU32At(at, std::uint32_t(out.Size() - at - 4));
    return true;
  };
  if (!stream(planes.rest)) return false;
  for (const auto& p : planes.planes) {
    if (!stream(p)) return false;
  }
  return true;
}

bool ExpandPlanesPayload(std::span<const std::uint8_t> payload, std::span<std::uint8_t> out) {
  base::ByteReader in(payload);
  StrokePlanes planes;
  std::uint32_t rest_length = 0;
  if (!in.ReadU32(rest_length) || !in.ReadU32(planes.sample_count) || !in.ReadInto(planes.orders)) {
    return false;
  }
  // The sizes must add up to the plain length before anything is allocated.
  if (std::uint64_t(rest_length) + 16 * std::uint64_t(planes.sample_count) != out.size()) {
    return false;
  }
  std::unique_ptr<ZSTD_DCtx, DCtxFree> dctx(ZSTD_createDCtx());
  if (!dctx) return false;
  auto stream = [&](std::vector<std::uint8_t>& into, std::size_t size) {
    std::uint32_t length = 0;
    std::span<const std::uint8_t> frame;
    if (!in.ReadU32(length) || !in.ReadBytes(length, frame)) return false;
    into.resize(size);
    return ExpandFrame(dctx.get(), frame, into);
  };
  if (!stream(planes.rest, rest_length)) return false;
  for (auto& p : planes.planes) {
    if (!stream(p, planes.sample_count)) return false;
  }
  return in.Remaining() == 0 && JoinStrokeLayout(planes, out);
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
