#include "VYRQCrc32_p.h"

#include <zlib.h>

#include <algorithm>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define VYR_CRC_CLMUL 1
#endif

namespace vyr {

namespace {

quint32 zlibCrc(quint32 crc, const char* data, qint64 size)
{
    uLong out = crc;
    while (size > 0) {
        const uInt chunk = uInt(std::min<qint64>(size, 1 << 30));
        out = crc32(out, reinterpret_cast<const Bytef*>(data), chunk);
        data += chunk;
        size -= chunk;
    }
    return quint32(out);
}

#ifdef VYR_CRC_CLMUL

#define VYR_CLMUL __attribute__((target("pclmul,sse4.1")))

VYR_CLMUL inline __m128i load(const char* at)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

// `lane` carried `by` bits forward, onto `next`.
VYR_CLMUL inline __m128i fold(__m128i lane, __m128i by, __m128i next)
{
    return _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(lane, by, 0x00), _mm_clmulepi64_si128(lane, by, 0x11)),
                         next);
}

// The bit-reflected CRC of a whole number of 16-byte blocks, at least 64 bytes, given
// and giving the register as it stands (not inverted): four lanes of 128 bits folded
// forward 512 bits at a time, then into one, then reduced to 32 bits (Barrett).
VYR_CLMUL quint32 foldedCrc(quint32 crc, const char* data, qint64 size)
{
    // x^(4*128+32) and x^(4*128-32) mod P, x^(128+32) and x^(128-32) mod P, x^64 mod P,
    // each reflected and shifted by one; P itself and floor(x^64 / P).
    const __m128i fold4 = _mm_set_epi64x(0x01c6e41596, 0x0154442bd4);
    const __m128i fold1 = _mm_set_epi64x(0x00ccaa009e, 0x01751997d0);
    const __m128i fold64 = _mm_set_epi64x(0, 0x0163cd6124);
    const __m128i barrett = _mm_set_epi64x(0x01f7011641, 0x01db710641);
    const __m128i low32 = _mm_setr_epi32(~0, 0, ~0, 0);

    __m128i a = _mm_xor_si128(load(data), _mm_cvtsi32_si128(int(crc)));
    __m128i b = load(data + 16);
    __m128i c = load(data + 32);
    __m128i d = load(data + 48);
    data += 64;
    size -= 64;
    for (; size >= 64; data += 64, size -= 64) {
        a = fold(a, fold4, load(data));
        b = fold(b, fold4, load(data + 16));
        c = fold(c, fold4, load(data + 32));
        d = fold(d, fold4, load(data + 48));
    }
    a = fold(a, fold1, b);
    a = fold(a, fold1, c);
    a = fold(a, fold1, d);
    for (; size >= 16; data += 16, size -= 16)
        a = fold(a, fold1, load(data));

    // 128 bits to 64, then to 32.
    __m128i x = _mm_xor_si128(_mm_srli_si128(a, 8), _mm_clmulepi64_si128(a, fold1, 0x10));
    x = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x, low32), fold64, 0x00), _mm_srli_si128(x, 4));
    __m128i q = _mm_clmulepi64_si128(_mm_and_si128(x, low32), barrett, 0x10);
    q = _mm_clmulepi64_si128(_mm_and_si128(q, low32), barrett, 0x00);
    return quint32(_mm_extract_epi32(_mm_xor_si128(x, q), 1));
}

bool hasClmul()
{
    static const bool has = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
    return has;
}

#endif

} // namespace

quint32 crc32Of(const char* data, qint64 size)
{
    quint32 crc = 0;
#ifdef VYR_CRC_CLMUL
    if (size >= 64 && hasClmul()) {
        const qint64 blocks = size & ~qint64(15);
        crc = ~foldedCrc(~crc, data, blocks);
        data += blocks;
        size -= blocks;
    }
#endif
    return zlibCrc(crc, data, size);
}

} // namespace vyr
