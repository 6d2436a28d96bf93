// The system's Japanese texts as their exact code page 932 bytes, the form
// in which the tests compare them. A native test checks every entry against
// iconv's conversion of the UTF-8 text beside it, so a slip in these bytes
// cannot pass unnoticed.
#pragma once

#include <string_view>

namespace quillbin::testing {

struct Cp932Text {
    const char* utf8;
    std::string_view cp932;
};

// string 61719: "正の整数を入力してください。"
inline constexpr Cp932Text kParseUnsignedText{
    "正の整数を入力してください。",
    "\x90\xb3\x82\xcc\x90\xae\x90\x94\x82\xf0\x93\xfc\x97\xcd\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2\x81\x42"};

// string 61714: "%1 から %2 までの整数を入力してください。"
inline constexpr Cp932Text kRangeUnsignedText{"%1 から %2 までの整数を入力してください。",
                                              "%1 \x82\xa9\x82\xe7 %2 "
                                              "\x82\xdc\x82\xc5\x82\xcc\x90\xae\x90\x94\x82\xf0\x93\xfc\x97\xcd\x82\xb5"
                                              "\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2\x81\x42"};

// string 101: "バージョン情報(&A)..."
inline constexpr Cp932Text kAboutMenuText{"バージョン情報(&A)...",
                                          "\x83\x6f\x81\x5b\x83\x57\x83\x87\x83\x93\x8f\xee\x95\xf1(&A)..."};

// string 103: "結果をコピー(&C)", the result list's context menu
inline constexpr Cp932Text kCopyResultsMenuText{"結果をコピー(&C)",
                                                "\x8c\x8b\x89\xca\x82\xf0\x83\x52\x83\x73\x81\x5b(&C)"};

// the dialogs' font: "ＭＳ Ｐゴシック"
inline constexpr Cp932Text kDialogFontName{"ＭＳ Ｐゴシック",
                                           "\x82\x6c\x82\x72 \x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e"};

// control 1007: "送信(&S)"
inline constexpr Cp932Text kSendButtonText{"送信(&S)", "\x91\x97\x90\x4d(&S)"};

// control 1002: "Don't Fragment (パケット分割しない)"
inline constexpr Cp932Text kDontFragmentText{
    "Don't Fragment (パケット分割しない)",
    "Don't Fragment (\x83\x70\x83\x50\x83\x62\x83\x67\x95\xaa\x8a\x84\x82\xb5\x82\xc8\x82\xa2)"};

// the host field's label: "送り先ホスト名/アドレス :"
inline constexpr Cp932Text kHostLabelText{
    "送り先ホスト名/アドレス :",
    "\x91\x97\x82\xe8\x90\xe6\x83\x7a\x83\x58\x83\x67\x96\xbc/\x83\x41\x83\x68\x83\x8c\x83\x58 :"};

// the count field's label: "送信回数 :"
inline constexpr Cp932Text kCountLabelText{"送信回数 :", "\x91\x97\x90\x4d\x89\xf1\x90\x94 :"};

// the options frame: "オプション"
inline constexpr Cp932Text kOptionsFrameText{"オプション", "\x83\x49\x83\x76\x83\x56\x83\x87\x83\x93"};

// the data-size field's label: "データサイズ : "
inline constexpr Cp932Text kDataSizeLabelText{"データサイズ : ", "\x83\x66\x81\x5b\x83\x5e\x83\x54\x83\x43\x83\x59 : "};

inline constexpr Cp932Text kAllTexts[] = {
    kParseUnsignedText, kRangeUnsignedText, kAboutMenuText,       kDialogFontName,
    kSendButtonText,    kDontFragmentText,  kHostLabelText,       kCountLabelText,
    kOptionsFrameText,  kDataSizeLabelText, kCopyResultsMenuText,
};

}  // namespace quillbin::testing
