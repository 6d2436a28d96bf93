#include "echo/payload.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/cp932_texts.h"
#include "tests/support/hex_bytes.h"

namespace quillbin {
namespace {

using testing::EndsOnWholeCharacter;
using testing::Hex;

const std::string kCycle = testing::kCyclePhraseText.cp932;
const std::string kShort = Hex("82 E0 82 B1 82 E0 82 B1");  // もこもこ
const std::string kSpecial16 = Hex("82 E0 82 A4 89 BD 82 E0 95 7C 82 AD 82 C8 82 A2");
const std::string kSpecial20 = Hex("83 65 83 42 83 8D 81 45 83 74 83 42 83 69 81 5B 83 8C 81 9A");
const std::string kSpecial34 =
    Hex("96 6C 82 C6 8C 5F 96 F1 82 B5 82 C4 81 41 96 82 96 40 8F AD 8F 97 82 C9 82 C8 82 C1 82 C4 82 E6 81 49");

// The buffer holds size + 1 bytes and a guard region after them, filled with
// `fill` (by default a byte the text never holds), to catch writes past the
// NUL.
std::string Payload(uint32_t size, char fill = '\x7F') {
    std::vector<char> buffer(size + 1 + 16, fill);
    BuildEchoPayload(buffer.data(), size);
    for (size_t i = size + 1; i < buffer.size(); ++i) {
        EXPECT_EQ(buffer[i], fill) << "size " << size << " wrote past its NUL at " << i;
    }
    EXPECT_EQ(buffer[size], '\0') << "size " << size;
    return std::string(buffer.data(), size);
}

std::string Repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

TEST(BuildEchoPayload, EverySizeHasExactlyThatLengthAndEndsOnAWholeCharacter) {
    for (uint32_t size = 0; size <= 1500; ++size) {
        const std::string text = Payload(size);
        ASSERT_EQ(text.find('\0'), std::string::npos) << "size " << size;
        ASSERT_TRUE(EndsOnWholeCharacter(text)) << "size " << size;
    }
}

// Whatever the area held before: every byte of the text is written.
TEST(BuildEchoPayload, IsAPureFunctionOfTheSize) {
    for (uint32_t size : {0u, 7u, 18u, 34u, 1500u}) EXPECT_EQ(Payload(size, '\0'), Payload(size, '\xFF'));
}

struct PieceCase {
    uint32_t n;
    std::string cyclePiece;  // also the text of size n when n is 9 to 15 or 17
    std::string shortPiece;  // the text of size n when n is 1 to 8
};

// The pieces as written out in full: whole characters, then the letter of the
// character the cut falls into.
std::vector<PieceCase> Pieces() {
    const std::string mo = Hex("82 E0");
    const std::string ko = Hex("82 B1");
    const std::string pi = Hex("82 D2");
    const std::string yo = Hex("82 E5");
    const std::string n = Hex("82 F1");
    return {
        {1, "m", "m"},
        {2, mo, mo},
        {3, mo + "k", mo + "k"},
        {4, mo + ko, mo + ko},
        {5, mo + ko + "p", mo + ko + "m"},
        {6, mo + ko + pi, mo + ko + mo},
        {7, mo + ko + pi + "y", mo + ko + mo + "k"},
        {8, mo + ko + pi + yo, mo + ko + mo + ko},
        {9, mo + ko + pi + yo + "n", ""},
        {10, mo + ko + pi + yo + n, ""},
        {11, mo + ko + pi + yo + n + "m", ""},
        {12, mo + ko + pi + yo + n + mo, ""},
        {13, mo + ko + pi + yo + n + mo + "k", ""},
        {14, mo + ko + pi + yo + n + mo + ko, ""},
        {15, mo + ko + pi + yo + n + mo + ko + "m", ""},
        {16, mo + ko + pi + yo + n + mo + ko + mo, ""},
        {17, mo + ko + pi + yo + n + mo + ko + mo + "k", ""},
    };
}

TEST(BuildEchoPayload, SmallSizesTakeTheShortPieces) {
    for (const PieceCase& c : Pieces()) {
        if (c.n <= 8) {
            EXPECT_EQ(Payload(c.n), c.shortPiece) << "size " << c.n;
        }
    }
    EXPECT_EQ(Payload(8), kShort);
}

TEST(BuildEchoPayload, EveryCyclePieceEndsTheCycle) {
    for (const PieceCase& c : Pieces()) {
        const bool ownText = c.n <= 8 || c.n == 16;  // these sizes have a text of their own
        if (!ownText) {
            EXPECT_EQ(Payload(c.n), c.cyclePiece) << "size " << c.n;
        }
        if (18 + c.n != 20 && 18 + c.n != 34) {
            EXPECT_EQ(Payload(18 + c.n), kCycle + c.cyclePiece) << "size " << 18 + c.n;
        }
        EXPECT_EQ(Payload(18 * 40 + c.n), Repeat(kCycle, 40) + c.cyclePiece) << "size " << 18 * 40 + c.n;
    }
}

TEST(BuildEchoPayload, SpecialSizesTakeTheirOwnPhrase) {
    EXPECT_EQ(Payload(16), kSpecial16);
    EXPECT_EQ(Payload(20), kSpecial20);
    EXPECT_EQ(Payload(34), kSpecial34);
    // Only as whole sizes: as a remainder the cycle piece stands.
    EXPECT_EQ(Payload(52), Repeat(kCycle, 2) + Pieces()[15].cyclePiece);
    EXPECT_EQ(Payload(23), kCycle + Pieces()[4].cyclePiece);
}

TEST(BuildEchoPayload, MultiplesOfTheCycleHaveNoPiece) {
    EXPECT_EQ(Payload(0), "");
    for (int times = 1; times <= 83; ++times) {
        EXPECT_EQ(Payload(static_cast<uint32_t>(18 * times)), Repeat(kCycle, times)) << times;
    }
}

TEST(BuildEchoPayload, TheLargestSizeIsEightyThreeCyclesAndASixBytePiece) {
    EXPECT_EQ(Payload(1500), Repeat(kCycle, 83) + Hex("82 E0 82 B1 82 D2"));
}

}  // namespace
}  // namespace quillbin
