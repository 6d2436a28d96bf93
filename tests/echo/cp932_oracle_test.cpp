// The fixed texts, and the bytes the tests expect of them, against the C
// library's own UTF-8 to code page 932 conversion.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "echo/echo_lines.h"
#include "echo/payload.h"
#include "echo/status_text.h"
#include "tests/support/cp932_oracle.h"
#include "tests/support/cp932_texts.h"

namespace quillbin {
namespace {

std::string ToCp932(const std::string& utf8) {
    std::string bytes = testing::Cp932FromUtf8(utf8);
    EXPECT_FALSE(bytes.empty()) << utf8;
    return bytes;
}

std::string Payload(uint32_t size) {
    std::vector<char> buffer(size + 1);
    BuildEchoPayload(buffer.data(), size);
    return std::string(buffer.data(), size);
}

struct TextCase {
    uint32_t status;
    const char* utf8;
};

TEST(Cp932Oracle, StatusTexts) {
    const TextCase cases[] = {
        {11001, "そんなの、あたしが許さない(受信バッファ不足)"},
        {11002, "もう誰にも頼らない(接続先到達不能/NET)"},
        {11003, "もう誰にも頼らない(接続先到達不能/HOST)"},
        {11004, "もう誰にも頼らない(接続不能/PROTO)"},
        {11005, "もう誰にも頼らない(接続不能/PORT)"},
        {11006, "もう誰にも頼らない(リソース不足)"},
        {11007, "そんなの、あたしが許さない(呼び出し不備)"},
        {11008, "こんなの絶対おかしいよ(HW Error)"},
        {11009, "そんなの、あたしが許さない(サイズ大/PKT)"},
        {11010, "それはとっても遅すぎるなって(タイムアウト)"},
        {11011, "そんなの、あたしが許さない(呼び出し不備/REQ)"},
        {11012, "そんなの、あたしが許さない(ルート異常)"},
        {11013, "そんなの、あたしが許さない(TTL不足/SEND)"},
        {11014, "そんなの、あたしが許さない(TTL不足/RECV)"},
        {11015, "そんなの、あたしが許さない(呼び出し不備/PARAM)"},
        {11016, "データなんて、あるわけない(送信抑制指示)"},
        {11017, "そんなの、あたしが許さない(サイズ大/OPT)"},
        {11018, "そんなの、あたしが許さない(送信先不良)"},
        {11050, "エラーも、バグも、あるんだよ"},
    };
    for (const TextCase& c : cases) EXPECT_EQ(std::string(IcmpStatusText(c.status)), ToCp932(c.utf8)) << c.status;
}

TEST(Cp932Oracle, PayloadPhrasesAndPieces) {
    EXPECT_EQ(Payload(18), ToCp932("もこぴょんもこもこ"));
    EXPECT_EQ(Payload(8), ToCp932("もこもこ"));
    EXPECT_EQ(Payload(16), ToCp932("もう何も怖くない"));
    EXPECT_EQ(Payload(20), ToCp932("ティロ・フィナーレ★"));
    EXPECT_EQ(Payload(34), ToCp932("僕と契約して、魔法少女になってよ！"));
    EXPECT_EQ(Payload(5), ToCp932("もこm"));
    EXPECT_EQ(Payload(9), ToCp932("もこぴょn"));
    EXPECT_EQ(Payload(17), ToCp932("もこぴょんもこもk"));
    EXPECT_EQ(Payload(23), ToCp932("もこぴょんもこもこもこp"));
    EXPECT_EQ(Payload(35), ToCp932("もこぴょんもこもこもこぴょんもこもk"));
}

TEST(Cp932Oracle, RunTexts) {
    EXPECT_EQ(std::string(kIcmpUnavailableLine), ToCp932(testing::kIcmpUnavailableText.utf8));
    EXPECT_EQ(std::string(kHostLookupFailedLine), ToCp932(testing::kHostLookupFailedText.utf8));
    EXPECT_EQ(std::string(kDataMismatchText), ToCp932(testing::kWrongDataText.utf8));
}

// The bytes the other tests compare against.
TEST(Cp932Oracle, TheExpectedTextsTable) {
    for (const testing::Cp932Text* text : testing::kAllTexts) EXPECT_EQ(text->cp932, ToCp932(text->utf8));
}

}  // namespace
}  // namespace quillbin
