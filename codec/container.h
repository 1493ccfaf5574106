#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "codec/payload.h"

namespace zevo::codec {

// The encoded data, version 1, all integers little-endian:
//   0   4  tag "zvRD"
//   4   1  container version (1)
//   5   1  flags: bit 0 set = sealed with XChaCha20-Poly1305; clear = compression only
//   6   1  method (payload.h)
//   7   1  0
//   8   4  plain length
//   12 24  nonce (sealed containers only)
//   ..     payload, encrypted when sealed
//   .. 16  Poly1305 tag, or for compression-only containers the BLAKE2b-128 of all bytes before
// Bytes 0..11 are the associated data of the seal, so no header value can be changed unnoticed.
inline constexpr std::uint8_t kContainerVersion = 1;
inline constexpr std::size_t kHeaderBytes = 12;
inline constexpr std::size_t kNonceBytes = 24;
inline constexpr std::size_t kTagBytes = 16;
inline constexpr std::size_t kKeyBytes = 32;
inline constexpr std::uint32_t kMaxPlain = 1u << 30;

// Results use the ZEVO_CODEC_* codes of zevo_codec.h.

// The largest container Encode can make from plain_length bytes.
std::size_t EncodedBound(std::size_t plain_length, bool sealed);

// key == nullptr makes a compression-only container. level: 0 store, 1..22 compress.
int Encode(std::span<const std::uint8_t> plain, int level, const std::uint8_t* key,
           std::vector<std::uint8_t>& out);

// Checks the container (tag, version, seal) and gives its plain length.
int DecodedLength(std::span<const std::uint8_t> encoded, const std::uint8_t* key,
                  std::uint32_t& length);

// Checks and decodes; out must hold at least the plain length, which is stored in length.
int Decode(std::span<const std::uint8_t> encoded, const std::uint8_t* key,
           std::span<std::uint8_t> out, std::uint32_t& length);

// Wraps any payload as a container, as Encode would after compressing. For tests and fuzzing
// of what lies behind the seal.
std::vector<std::uint8_t> Seal(Method method, std::uint32_t plain_length,
                               std::span<const std::uint8_t> payload, const std::uint8_t* key);

}  // namespace zevo::codec
