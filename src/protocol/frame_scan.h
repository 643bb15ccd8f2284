#pragma once
// The payload fast path both receivers share. Inside a frame, short of the tail position and
// every count limit, 0xA5 and 0x5A are the only bytes that need more than storing and
// summing, so runs of other bytes are taken sixteen at a time where the processor allows.
#include <QtGlobal>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "protocol/frame.h"

namespace FrameScan {

// Takes the bytes of p[0, k) up to the first 0xA5 or 0x5A, adds them to sum and, when dst is
// set, stores them there; returns how many it took. Inside a frame, with k short of every
// count limit, 0xA5 and 0x5A are the only bytes that need more than storing.
// Sixteen bytes at a time where the processor allows; bytes are never written past dst + k.
inline qsizetype storeRun(const quint8* p, qsizetype k, char* dst, unsigned& sum) {
    unsigned acc = sum;
    qsizetype i = 0;
#if defined(__SSE2__)
    const __m128i h1 = _mm_set1_epi8(static_cast<char>(Frame::Header1));
    const __m128i h2 = _mm_set1_epi8(static_cast<char>(Frame::Header2));
    const __m128i zero = _mm_setzero_si128();
    __m128i sums = zero;
    for (; i + 16 <= k; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i special = _mm_or_si128(_mm_cmpeq_epi8(v, h1), _mm_cmpeq_epi8(v, h2));
        if (_mm_movemask_epi8(special) != 0) break;
        if (dst) _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), v);
        sums = _mm_add_epi64(sums, _mm_sad_epu8(v, zero));
    }
    acc += static_cast<unsigned>(_mm_cvtsi128_si64(sums)) +
           static_cast<unsigned>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums)));
#endif
    for (; i < k; ++i) {
        const quint8 b = p[i];
        if (b == Frame::Header1 || b == Frame::Header2) break;
        if (dst) dst[i] = static_cast<char>(b);
        acc += b;
    }
    sum = acc;
    return i;
}

}  // namespace FrameScan
