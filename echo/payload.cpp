#include "echo/payload.h"

#include <cstring>
#include <string_view>

namespace quillbin {

namespace {

// A phrase of double-byte characters and, for each character, the ASCII
// letter that stands in for it when a cut falls inside it. A cut therefore
// never leaves a lone lead byte on the wire.
struct Phrase {
    std::string_view bytes;
    std::string_view letters;  // one per character
};

// もこぴょんもこもこ
constexpr Phrase kCyclePhrase{"\x82\xE0\x82\xB1\x82\xD2\x82\xE5\x82\xF1\x82\xE0\x82\xB1\x82\xE0\x82\xB1", "mkpynmkmk"};
// もこもこ
constexpr Phrase kShortPhrase{"\x82\xE0\x82\xB1\x82\xE0\x82\xB1", "mkmk"};

// Whole texts for three sizes that get a phrase of their own.
struct SpecialPhrase {
    uint32_t size;
    std::string_view bytes;
};
constexpr SpecialPhrase kSpecialPhrases[] = {
    // もう何も怖くない
    {16, "\x82\xE0\x82\xA4\x89\xBD\x82\xE0\x95\x7C\x82\xAD\x82\xC8\x82\xA2"},
    // ティロ・フィナーレ★
    {20, "\x83\x65\x83\x42\x83\x8D\x81\x45\x83\x74\x83\x42\x83\x69\x81\x5B\x83\x8C\x81\x9A"},
    // 僕と契約して、魔法少女になってよ！
    {34, "\x96\x6C\x82\xC6\x8C\x5F\x96\xF1\x82\xB5\x82\xC4\x81\x41\x96\x82\x96\x40\x8F\xAD\x8F\x97"
         "\x82\xC9\x82\xC8\x82\xC1\x82\xC4\x82\xE6\x81\x49"},
};

// The first n bytes of a phrase (n below its length): whole characters, then
// the letter of the next character when n is odd.
char* AppendPiece(char* out, const Phrase& phrase, uint32_t n) {
    const uint32_t whole = (n / 2) * 2;
    std::memcpy(out, phrase.bytes.data(), whole);
    out += whole;
    if (n % 2 != 0) *out++ = phrase.letters[n / 2];
    return out;
}

char* Append(char* out, std::string_view text) {
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

}  // namespace

void BuildEchoPayload(char* buffer, uint32_t size) {
    char* out = buffer;
    if (size <= kShortPhrase.bytes.size()) {
        out =
            size == kShortPhrase.bytes.size() ? Append(out, kShortPhrase.bytes) : AppendPiece(out, kShortPhrase, size);
        *out = '\0';
        return;
    }
    for (const SpecialPhrase& special : kSpecialPhrases) {
        if (size == special.size) {
            *Append(out, special.bytes) = '\0';
            return;
        }
    }
    // The cycle: whole phrases, then a cut piece of it, never a short or
    // special phrase (those only stand for a whole size).
    uint32_t remainder = size;
    const auto cycle = static_cast<uint32_t>(kCyclePhrase.bytes.size());
    for (; remainder >= cycle; remainder -= cycle) out = Append(out, kCyclePhrase.bytes);
    out = AppendPiece(out, kCyclePhrase, remainder);
    *out = '\0';
}

}  // namespace quillbin
