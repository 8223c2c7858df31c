#pragma once
// Where `c` first stands in [at, end), or end. The memchr of some Windows C
// runtimes is a plain byte loop, so where SSE2 is there (every x86-64) the
// bytes are compared sixteen at a time. Inline: the name search calls it at
// every candidate, in its innermost loop.

#include <cstddef>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vantrel {

inline const char *FindByte(const char *at, const char *end, char c) {
#if defined(__SSE2__)
  const __m128i needle = _mm_set1_epi8(c);
  auto matches = [needle](const char *block) {
    return _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(block)), needle);
  };
  for (; end - at >= 64; at += 64) {
    const __m128i any = _mm_or_si128(_mm_or_si128(matches(at), matches(at + 16)),
                                     _mm_or_si128(matches(at + 32), matches(at + 48)));
    if (_mm_movemask_epi8(any) != 0)
      break;
  }
  for (; end - at >= 16; at += 16) {
    const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(matches(at)));
    if (mask != 0)
      return at + __builtin_ctz(mask);
  }
  for (; at != end; ++at)
    if (*at == c)
      return at;
  return end;
#else
  const void *hit = std::memchr(at, c, static_cast<std::size_t>(end - at));
  return hit != nullptr ? static_cast<const char *>(hit) : end;
#endif
}

} // namespace vantrel
