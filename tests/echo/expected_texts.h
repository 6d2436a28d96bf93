// The code page 932 texts that the run tests expect, written out as bytes so
// the tests do not take them from the code under test.
#pragma once

#include <string>

#include "tests/echo/hex_bytes.h"

namespace quillbin::testing {

// もこぴょんもこもこ
inline const std::string kCyclePhraseBytes = Hex("82 E0 82 B1 82 D2 82 E5 82 F1 82 E0 82 B1 82 E0 82 B1");
// それはとっても遅すぎるなって(タイムアウト)
inline const std::string kTimedOutText =
    Hex("82 BB 82 EA 82 CD 82 C6 82 C1 82 C4 82 E0 92 78 82 B7 82 AC 82 E9 82 C8 82 C1 82 C4 28 83 5E 83 43 83 80 "
        "83 41 83 45 83 67 29");
// そんなの、あたしが許さない(TTL不足/SEND)
inline const std::string kTtlExpiredTransitText =
    Hex("82 BB 82 F1 82 C8 82 CC 81 41 82 A0 82 BD 82 B5 82 AA 8B 96 82 B3 82 C8 82 A2 28 54 54 4C 95 73 91 AB 2F "
        "53 45 4E 44 29");
// もう誰にも頼らない(接続先到達不能/HOST)
inline const std::string kDestHostUnreachableText =
    Hex("82 E0 82 A4 92 4E 82 C9 82 E0 97 8A 82 E7 82 C8 82 A2 28 90 DA 91 B1 90 E6 93 9E 92 42 95 73 94 5C 2F 48 4F "
        "53 54 29");
// エラーも、バグも、あるんだよ
inline const std::string kGeneralFailureText =
    Hex("83 47 83 89 81 5B 82 E0 81 41 83 6F 83 4F 82 E0 81 41 82 A0 82 E9 82 F1 82 BE 82 E6");
// 本当のデータと向き合えますか？
inline const std::string kDataMismatchBytes =
    Hex("96 7B 93 96 82 CC 83 66 81 5B 83 5E 82 C6 8C FC 82 AB 8D 87 82 A6 82 DC 82 B7 82 A9 81 48");
// こんなの絶対おかしいよ(IPHLPAPI)
inline const std::string kIcmpUnavailableBytes =
    Hex("82 B1 82 F1 82 C8 82 CC 90 E2 91 CE 82 A8 82 A9 82 B5 82 A2 82 E6") + "(IPHLPAPI)";
// 夢の中で会った、ような…(ホスト名前引き失敗)
inline const std::string kHostLookupFailedBytes =
    Hex("96 B2 82 CC 92 86 82 C5 89 EF 82 C1 82 BD 81 41 82 E6 82 A4 82 C8 81 63 28 83 7A 83 58 83 67 96 BC 91 4F "
        "88 F8 82 AB 8E B8 94 73 29");

}  // namespace quillbin::testing
