#pragma once

// ZevoCodec: the library that turns a plain stroke layout into the bytes of a stroke file and
// back. Loaded at run time by the program; these three functions are its only exports.
//
// Every function returns 0 on success and one of the ZEVO_CODEC_* codes below on failure, and
// follows the same two-call pattern:
//   1. output == NULL: only *output_length is set, to the buffer size the second call needs
//      (the caller need not initialise it);
//   2. output != NULL: *output_length must hold the buffer's size (what call 1 stored); the
//      output is written and *output_length set to the number of bytes produced.
//
// Encoded data begins with the tag "zvRD", is never shorter than 20 bytes and carries a
// container version, so that a later codec still reads today's files. Decoding gives back the
// encoded input byte for byte.
//
// drav_encode_ex(mode, input, input_length, output, output_length, key)
//   Compresses and seals with XChaCha20-Poly1305 under the 32-byte key and a random nonce;
//   the container header is authenticated too, so a damaged or altered file, or one sealed
//   under another key, is refused by drav_decode (ZEVO_CODEC_AUTH_FAILED).
//   mode: -1   the default: stroke-aware compression at the library's default level (today 1);
//         0    no compression (the input is only sealed);
//         1-22 stroke-aware compression with that compressor level (higher: slower, and
//              smaller on most data; pen-written stroke samples gain almost nothing above 1).
//   Any other mode is ZEVO_CODEC_INVALID_ARGUMENT. Stroke-aware compression understands the
//   plain layouts "Zvrn", "Zvr2" and "Zvr3"; any other input is compressed as plain bytes.
//
// drav_encode(input, input_length, output, output_length)
//   The same as mode -1 without a key: a compression-only container, whose contents are
//   protected against damage by a 128-bit BLAKE2b checksum but not sealed, so anybody can read
//   and rewrite it. The program itself never calls it.
//
// drav_decode(input, input_length, output, output_length, key)
//   Checks and decodes either kind of container. key is required for sealed containers and
//   ignored for compression-only ones. The size query already checks the seal, so a damaged
//   file never makes the caller allocate a size it claims.
//
// Limits: plain data up to ZEVO_CODEC_MAX_PLAIN bytes (1 GiB); lengths are 32-bit signed.

#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define ZEVO_CODEC_CALL __stdcall
#else
#define ZEVO_CODEC_CALL
#endif

#if defined(_WIN32)
#define ZEVO_CODEC_API __declspec(dllexport)
#else
#define ZEVO_CODEC_API __attribute__((visibility("default")))
#endif

#define ZEVO_CODEC_OK 0
#define ZEVO_CODEC_INVALID_ARGUMENT 1 /* null pointer, negative length or unknown mode */
#define ZEVO_CODEC_BUFFER_TOO_SMALL 2 /* *output_length is below the needed size */
#define ZEVO_CODEC_NOT_ENCODED 3      /* no "zvRD" tag, too short, or unknown container */
#define ZEVO_CODEC_AUTH_FAILED 4      /* damaged, altered, or sealed under another key */
#define ZEVO_CODEC_DAMAGED 5          /* authentic container whose contents do not decode */
#define ZEVO_CODEC_TOO_LARGE 6        /* plain data above ZEVO_CODEC_MAX_PLAIN */
#define ZEVO_CODEC_NO_MEMORY 7
#define ZEVO_CODEC_CRYPTO_UNAVAILABLE 8

#define ZEVO_CODEC_MAX_PLAIN (1 << 30)
#define ZEVO_CODEC_KEY_BYTES 32

#ifdef __cplusplus
extern "C" {
#endif

ZEVO_CODEC_API int32_t ZEVO_CODEC_CALL drav_encode(const uint8_t* input, int32_t input_length,
                                                   uint8_t* output, int32_t* output_length);

ZEVO_CODEC_API int32_t ZEVO_CODEC_CALL drav_encode_ex(int32_t mode, const uint8_t* input,
                                                      int32_t input_length, uint8_t* output,
                                                      int32_t* output_length, const uint8_t* key);

ZEVO_CODEC_API int32_t ZEVO_CODEC_CALL drav_decode(const uint8_t* input, int32_t input_length,
                                                   uint8_t* output, int32_t* output_length,
                                                   const uint8_t* key);

#ifdef __cplusplus
}
#endif

// The exported names' types, for callers that look them up at run time.
typedef int32_t(ZEVO_CODEC_CALL* drav_encode_fn)(const uint8_t*, int32_t, uint8_t*, int32_t*);
typedef int32_t(ZEVO_CODEC_CALL* drav_encode_ex_fn)(int32_t, const uint8_t*, int32_t, uint8_t*,
                                                    int32_t*, const uint8_t*);
typedef int32_t(ZEVO_CODEC_CALL* drav_decode_fn)(const uint8_t*, int32_t, uint8_t*, int32_t*,
                                                 const uint8_t*);
