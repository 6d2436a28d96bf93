// The echo data of a run: a text of exactly the chosen size, made of fixed
// code page 932 phrases, so a reply can be checked byte for byte.
#pragma once

#include <cstdint>

namespace quillbin {

// Writes the text of exactly `size` bytes and a NUL into `buffer`, which must
// hold size + 1 bytes. The text holds no NUL and never ends inside a
// double-byte character. The same size always gives the same bytes.
void BuildEchoPayload(char* buffer, uint32_t size);

}  // namespace quillbin
