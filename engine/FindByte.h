#pragma once

namespace vantrel {

// Where `c` first stands in [at, end), or end. The memchr of some Windows C
// runtimes is a plain byte loop, so where SSE2 is there (every x86-64) the
// bytes are compared sixteen at a time.
const char *FindByte(const char *at, const char *end, char c);

} // namespace vantrel
