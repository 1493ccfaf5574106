#include "codec/container.h"

#include <sodium.h>

#include <cstring>

#include "base/byte_io.h"
#include "codec/zevo_codec.h"

namespace zevo::codec {
namespace {

constexpr std::uint8_t kFlagSealed = 1;

struct Header {
  std::uint8_t flags = 0;
  Method method = Method::Stored;
  std::uint32_t plain_length = 0;
};

void WriteHeader(std::uint8_t* p, const Header& h) {
  std::memcpy(p, "zvRD", 4);
  p[4] = kContainerVersion;
  p[5] = h.flags;
  p[6] = std::uint8_t(h.method);
  p[7] = 0;
  base::StoreU32LE(p + 8, h.plain_length);
}

int ReadHeader(std::span<const std::uint8_t> in, Header& h) {
  if (in.size() < kHeaderBytes + kTagBytes || std::memcmp(in.data(), "zvRD", 4) != 0) {
    return ZEVO_CODEC_NOT_ENCODED;
  }
  if (in[4] != kContainerVersion || (in[5] & ~kFlagSealed) != 0 || in[6] > 2 || in[7] != 0) {
    return ZEVO_CODEC_NOT_ENCODED;
  }
  h.flags = in[5];
  h.method = Method(in[6]);
  h.plain_length = base::LoadU32LE(in.data() + 8);
  if ((h.flags & kFlagSealed) != 0 && in.size() < kHeaderBytes + kNonceBytes + kTagBytes) {
    return ZEVO_CODEC_NOT_ENCODED;
  }
  return ZEVO_CODEC_OK;
}

bool CryptoReady() {
  return sodium_init() >= 0;
}

// Checks the seal or the checksum and gives the plain payload.
int Open(std::span<const std::uint8_t> in, const std::uint8_t* key, Header& h,
         std::vector<std::uint8_t>& payload) {
  if (const int r = ReadHeader(in, h); r != ZEVO_CODEC_OK) return r;
  if (!CryptoReady()) return ZEVO_CODEC_CRYPTO_UNAVAILABLE;
  if ((h.flags & kFlagSealed) != 0) {
    if (key == nullptr) return ZEVO_CODEC_INVALID_ARGUMENT;
    const std::uint8_t* nonce = in.data() + kHeaderBytes;
    const std::uint8_t* cipher = nonce + kNonceBytes;
    const std::size_t cipher_length = in.size() - kHeaderBytes - kNonceBytes;
    payload.resize(cipher_length - kTagBytes);
    unsigned long long produced = 0;
    if (crypto_aead_xchacha20poly1305_ietf_decrypt(payload.data(), &produced, nullptr, cipher,
                                                   cipher_length, in.data(), kHeaderBytes, nonce,
                                                   key) != 0) {
      return ZEVO_CODEC_AUTH_FAILED;
    }
    payload.resize(std::size_t(produced));
  } else {
    const std::size_t body = in.size() - kTagBytes;
    std::uint8_t check[kTagBytes];
    crypto_generichash(check, kTagBytes, in.data(), body, nullptr, 0);
    if (sodium_memcmp(check, in.data() + body, kTagBytes) != 0) return ZEVO_CODEC_AUTH_FAILED;
    payload.assign(in.begin() + kHeaderBytes, in.begin() + std::ptrdiff_t(body));
  }
  // An authentic header cannot claim more than an encoder accepts.
  if (h.plain_length > kMaxPlain) return ZEVO_CODEC_DAMAGED;
  return ZEVO_CODEC_OK;
}

}  // namespace

std::size_t EncodedBound(std::size_t plain_length, bool sealed) {
  return kHeaderBytes + (sealed ? kNonceBytes : 0) + plain_length + kTagBytes;
}

std::vector<std::uint8_t> Seal(Method method, std::uint32_t plain_length,
                               std::span<const std::uint8_t> payload, const std::uint8_t* key) {
  const bool sealed = key != nullptr;
  std::vector<std::uint8_t> out(EncodedBound(payload.size(), sealed));
  Header h{std::uint8_t(sealed ? kFlagSealed : 0), method, plain_length};
  WriteHeader(out.data(), h);
  if (sealed) {
    std::uint8_t* nonce = out.data() + kHeaderBytes;
    randombytes_buf(nonce, kNonceBytes);
    unsigned long long produced = 0;
    crypto_aead_xchacha20poly1305_ietf_encrypt(nonce + kNonceBytes, &produced, payload.data(),
                                               payload.size(), out.data(), kHeaderBytes, nullptr,
                                               nonce, key);
  } else {
    if (!payload.empty()) std::memcpy(out.data() + kHeaderBytes, payload.data(), payload.size());
    const std::size_t body = out.size() - kTagBytes;
    crypto_generichash(out.data() + body, kTagBytes, out.data(), body, nullptr, 0);
  }
  return out;
}

int Encode(std::span<const std::uint8_t> plain, int level, const std::uint8_t* key,
           std::vector<std::uint8_t>& out) {
  if (plain.size() > kMaxPlain) return ZEVO_CODEC_TOO_LARGE;
  if (!CryptoReady()) return ZEVO_CODEC_CRYPTO_UNAVAILABLE;
  Method method = Method::Stored;
  std::vector<std::uint8_t> payload;
  if (!BuildPayload(plain, level, method, payload)) return ZEVO_CODEC_NO_MEMORY;
  out = Seal(method, std::uint32_t(plain.size()), payload, key);
  sodium_memzero(payload.data(), payload.size());
  return ZEVO_CODEC_OK;
}

int DecodedLength(std::span<const std::uint8_t> encoded, const std::uint8_t* key,
                  std::uint32_t& length) {
  Header h;
  std::vector<std::uint8_t> payload;
  const int r = Open(encoded, key, h, payload);
  sodium_memzero(payload.data(), payload.size());
  if (r != ZEVO_CODEC_OK) return r;
  length = h.plain_length;
  return ZEVO_CODEC_OK;
}

int Decode(std::span<const std::uint8_t> encoded, const std::uint8_t* key,
           std::span<std::uint8_t> out, std::uint32_t& length) {
  Header h;
  std::vector<std::uint8_t> payload;
  int r = Open(encoded, key, h, payload);
  if (r == ZEVO_CODEC_OK) {
    if (out.size() < h.plain_length) {
      r = ZEVO_CODEC_BUFFER_TOO_SMALL;
    } else if (!ExpandPayload(h.method, payload, out.first(h.plain_length))) {
      r = ZEVO_CODEC_DAMAGED;
    } else {
      length = h.plain_length;
    }
  }
  sodium_memzero(payload.data(), payload.size());
  return r;
}

}  // namespace zevo::codec
