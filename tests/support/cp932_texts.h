// The system's Japanese texts as their exact code page 932 bytes, the form
// in which the tests compare them, written out here rather than taken from
// the code under test. A native test checks every entry against iconv's
// conversion of the UTF-8 text beside it, so a slip in these bytes cannot
// pass unnoticed.
#pragma once

#include <string>

#include "tests/support/hex_bytes.h"

namespace quillbin::testing {

struct Cp932Text {
    std::string utf8;
    std::string cp932;
};

// string 61719: "正の整数を入力してください。"
inline const Cp932Text kParseUnsignedText{
    "正の整数を入力してください。",
    "\x90\xb3\x82\xcc\x90\xae\x90\x94\x82\xf0\x93\xfc\x97\xcd\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2\x81\x42"};

// string 61714: "%1 から %2 までの整数を入力してください。"
inline const Cp932Text kRangeUnsignedText{"%1 から %2 までの整数を入力してください。",
                                          "%1 \x82\xa9\x82\xe7 %2 "
                                          "\x82\xdc\x82\xc5\x82\xcc\x90\xae\x90\x94\x82\xf0\x93\xfc\x97\xcd\x82\xb5"
                                          "\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2\x81\x42"};

// string 101: "バージョン情報(&A)..."
inline const Cp932Text kAboutMenuText{"バージョン情報(&A)...",
                                      "\x83\x6f\x81\x5b\x83\x57\x83\x87\x83\x93\x8f\xee\x95\xf1(&A)..."};

// string 103: "結果をコピー(&C)", the result list's context menu
inline const Cp932Text kCopyResultsMenuText{"結果をコピー(&C)", "\x8c\x8b\x89\xca\x82\xf0\x83\x52\x83\x73\x81\x5b(&C)"};

// the dialogs' font: "ＭＳ Ｐゴシック"
inline const Cp932Text kDialogFontName{"ＭＳ Ｐゴシック", "\x82\x6c\x82\x72 \x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e"};

// control 1007: "送信(&S)"
inline const Cp932Text kSendButtonText{"送信(&S)", "\x91\x97\x90\x4d(&S)"};

// control 1002: "Don't Fragment (パケット分割しない)"
inline const Cp932Text kDontFragmentText{
    "Don't Fragment (パケット分割しない)",
    "Don't Fragment (\x83\x70\x83\x50\x83\x62\x83\x67\x95\xaa\x8a\x84\x82\xb5\x82\xc8\x82\xa2)"};

// the host field's label: "送り先ホスト名/アドレス :"
inline const Cp932Text kHostLabelText{
    "送り先ホスト名/アドレス :",
    "\x91\x97\x82\xe8\x90\xe6\x83\x7a\x83\x58\x83\x67\x96\xbc/\x83\x41\x83\x68\x83\x8c\x83\x58 :"};

// the count field's label: "送信回数 :"
inline const Cp932Text kCountLabelText{"送信回数 :", "\x91\x97\x90\x4d\x89\xf1\x90\x94 :"};

// the options frame: "オプション"
inline const Cp932Text kOptionsFrameText{"オプション", "\x83\x49\x83\x76\x83\x56\x83\x87\x83\x93"};

// the data-size field's label: "データサイズ : "
inline const Cp932Text kDataSizeLabelText{"データサイズ : ", "\x83\x66\x81\x5b\x83\x5e\x83\x54\x83\x43\x83\x59 : "};

// The echo run's texts.
inline const Cp932Text kCyclePhraseText{"もこぴょんもこもこ",
                                        Hex("82 E0 82 B1 82 D2 82 E5 82 F1 82 E0 82 B1 82 E0 82 B1")};
inline const Cp932Text kTimedOutText{
    "それはとっても遅すぎるなって(タイムアウト)",
    Hex("82 BB 82 EA 82 CD 82 C6 82 C1 82 C4 82 E0 92 78 82 B7 82 AC 82 E9 82 C8 82 C1 82 C4 28 83 5E 83 43 83 80 "
        "83 41 83 45 83 67 29")};
inline const Cp932Text kTtlExpiredTransitText{
    "そんなの、あたしが許さない(TTL不足/SEND)",
    Hex("82 BB 82 F1 82 C8 82 CC 81 41 82 A0 82 BD 82 B5 82 AA 8B 96 82 B3 82 C8 82 A2 28 54 54 4C 95 73 91 AB 2F "
        "53 45 4E 44 29")};
inline const Cp932Text kDestHostUnreachableText{
    "もう誰にも頼らない(接続先到達不能/HOST)",
    Hex("82 E0 82 A4 92 4E 82 C9 82 E0 97 8A 82 E7 82 C8 82 A2 28 90 DA 91 B1 90 E6 93 9E 92 42 95 73 94 5C 2F 48 4F "
        "53 54 29")};
inline const Cp932Text kGeneralFailureText{
    "エラーも、バグも、あるんだよ",
    Hex("83 47 83 89 81 5B 82 E0 81 41 83 6F 83 4F 82 E0 81 41 82 A0 82 E9 82 F1 82 BE 82 E6")};
inline const Cp932Text kWrongDataText{
    "本当のデータと向き合えますか？",
    Hex("96 7B 93 96 82 CC 83 66 81 5B 83 5E 82 C6 8C FC 82 AB 8D 87 82 A6 82 DC 82 B7 82 A9 81 48")};
inline const Cp932Text kIcmpUnavailableText{
    "こんなの絶対おかしいよ(IPHLPAPI)",
    Hex("82 B1 82 F1 82 C8 82 CC 90 E2 91 CE 82 A8 82 A9 82 B5 82 A2 82 E6") + "(IPHLPAPI)"};
inline const Cp932Text kHostLookupFailedText{
    "夢の中で会った、ような…(ホスト名前引き失敗)",
    Hex("96 B2 82 CC 92 86 82 C5 89 EF 82 C1 82 BD 81 41 82 E6 82 A4 82 C8 81 63 28 83 7A 83 58 83 67 96 BC 91 4F "
        "88 F8 82 AB 8E B8 94 73 29")};

inline const Cp932Text* const kAllTexts[] = {
    &kParseUnsignedText, &kRangeUnsignedText,     &kAboutMenuText,           &kDialogFontName,
    &kSendButtonText,    &kDontFragmentText,      &kHostLabelText,           &kCountLabelText,
    &kOptionsFrameText,  &kDataSizeLabelText,     &kCopyResultsMenuText,     &kCyclePhraseText,
    &kTimedOutText,      &kTtlExpiredTransitText, &kDestHostUnreachableText, &kGeneralFailureText,
    &kWrongDataText,     &kIcmpUnavailableText,   &kHostLookupFailedText,
};

}  // namespace quillbin::testing
