// UpdateData in both directions, and the validation messages as a user sees
// them: read from the message box by another thread, which then dismisses it.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "framework/win/wide_text.h"
#include "tests/support/cp932_texts.h"
#include "tests/framework/win/message_box_watcher.h"
#include "tests/framework/win/test_dialog.h"

namespace quillbin::win::testing {
namespace {

using quillbin::testing::kParseUnsignedText;

std::wstring FieldText(CTestDialog& d, int id) {
    wchar_t text[256] = {};
    ::GetWindowTextW(d.GetDlgItem(id), text, 256);
    return text;
}

void SetField(CTestDialog& d, int id, const std::wstring& text) { ::SetWindowTextW(d.GetDlgItem(id), text.c_str()); }

// "%1 から %2 までの整数を入力してください。" with the range filled in.
std::string RangeMessage(const char* minimum, const char* maximum) {
    return std::string(minimum) + " \x82\xa9\x82\xe7 " + maximum +
           " \x82\xdc\x82\xc5\x82\xcc\x90\xae\x90\x94\x82\xf0\x93\xfc\x97\xcd"
           "\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2\x81\x42";
}

TEST(DataExchangeTest, LoadingShowsTheMembersWithoutMessages) {
    struct Case {
        int32_t check;
        LRESULT shown;
    } checks[] = {{0, BST_UNCHECKED}, {1, BST_CHECKED}, {7, BST_UNCHECKED}, {-1, BST_UNCHECKED}};
    for (const Case& c : checks) {
        CTestDialog dialog;
        dialog.text = "\x83\x7a\x83\x58\x83\x67\x96\xbc";  // "ホスト名"
        dialog.count = 5000;                               // out of range: shown as it is
        dialog.ttl = 0;
        dialog.check = c.check;
        std::vector<SeenMessageBox> seen;
        dialog.action = [&](CTestDialog& d) {
            MessageBoxWatcher watcher(d.GetSafeHwnd());
            EXPECT_EQ(FieldText(d, kTextField), L"\u30db\u30b9\u30c8\u540d");
            EXPECT_EQ(FieldText(d, kCountField), L"5000");
            EXPECT_EQ(FieldText(d, kTtlField), L"0");
            EXPECT_EQ(::SendMessageW(d.GetDlgItem(kCheckBox), BM_GETCHECK, 0, 0), c.shown) << c.check;
            d.UpdateData(false);
            seen = watcher.Stop();
            d.EndDialog(IDCANCEL);
        };
        dialog.DoModal();
        EXPECT_TRUE(seen.empty());
    }
}

TEST(DataExchangeTest, SavingTakesTheFieldsAsTyped) {
    CTestDialog dialog;
    bool passed = false;
    dialog.action = [&](CTestDialog& d) {
        SetField(d, kTextField, L"\u30db\u30b9\u30c8\u540d");
        SetField(d, kCountField, L" \t12\t ");
        SetField(d, kTtlField, L"255");
        ::SendMessageW(d.GetDlgItem(kCheckBox), BM_SETCHECK, BST_CHECKED, 0);
        passed = d.UpdateData(true);
        d.EndDialog(IDCANCEL);
    };
    dialog.DoModal();
    EXPECT_TRUE(passed);
    EXPECT_EQ(dialog.text, "\x83\x7a\x83\x58\x83\x67\x96\xbc");
    EXPECT_EQ(dialog.count, 12u);
    EXPECT_EQ(dialog.ttl, 255u);
    EXPECT_EQ(dialog.check, 1);
}

struct ValidationCase {
    const char* what;
    const wchar_t* count;
    const wchar_t* ttl;
    std::optional<std::string> message;  // nullopt: passes
    int focusedField;
    uint32_t countAfter;
    uint32_t ttlAfter;
    int32_t checkAfter;
};

void PrintTo(const ValidationCase& c, std::ostream* os) { *os << c.what; }

class ValidationTest : public ::testing::TestWithParam<ValidationCase> {};

// The members start at count 10, TTL 64 and the box clear; the user ticks the
// box and types the case's texts.
TEST_P(ValidationTest, ShowsTheFirstFailureOnlyAndSelectsItsField) {
    const ValidationCase& c = GetParam();
    CTestDialog dialog;
    dialog.count = 10;
    dialog.ttl = 64;
    bool passed = false;
    int focusedId = 0;
    DWORD selStart = 99, selEnd = 99;
    std::wstring focusedText;
    std::vector<SeenMessageBox> seen;
    dialog.action = [&](CTestDialog& d) {
        SetField(d, kTextField, L"host");
        SetField(d, kCountField, c.count);
        SetField(d, kTtlField, c.ttl);
        ::SendMessageW(d.GetDlgItem(kCheckBox), BM_SETCHECK, BST_CHECKED, 0);
        ::SetFocus(d.GetDlgItem(kSendButton));
        {
            MessageBoxWatcher watcher(d.GetSafeHwnd());
            passed = d.UpdateData(true);
            seen = watcher.Stop();
        }
        HWND focus = ::GetFocus();
        focusedId = ::GetDlgCtrlID(focus);
        ::SendMessageW(focus, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), reinterpret_cast<LPARAM>(&selEnd));
        focusedText = FieldText(d, focusedId);
        d.EndDialog(IDCANCEL);
    };
    dialog.DoModal();

    EXPECT_EQ(passed, !c.message.has_value());
    EXPECT_EQ(dialog.text, "host");  // exchanged before either number
    EXPECT_EQ(dialog.count, c.countAfter);
    EXPECT_EQ(dialog.ttl, c.ttlAfter);
    EXPECT_EQ(dialog.check, c.checkAfter);
    if (!c.message) {
        EXPECT_TRUE(seen.empty());
        return;
    }
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(Cp932FromWide(seen[0].text), *c.message);
    EXPECT_EQ(seen[0].caption, L"framework_win_test");
    EXPECT_TRUE(seen[0].exclamationIcon);
    EXPECT_EQ(seen[0].buttonIds, std::vector<int>{IDOK});
    EXPECT_EQ(focusedId, c.focusedField);
    EXPECT_EQ(selStart, 0u);
    EXPECT_EQ(selEnd, focusedText.size());
}

const std::string kParse(kParseUnsignedText.cp932);

// clang-format off
INSTANTIATE_TEST_SUITE_P(Fields, ValidationTest, ::testing::Values(
    ValidationCase{"both good", L"12", L"255", std::nullopt, 0, 12, 255, 1},
    ValidationCase{"bounds", L"999", L"1", std::nullopt, 0, 999, 1, 1},
    ValidationCase{"letters", L"abc", L"0", kParse, kCountField, 10, 64, 0},
    ValidationCase{"empty", L"", L"0", kParse, kCountField, 10, 64, 0},
    ValidationCase{"minus", L"-5", L"0", kParse, kCountField, 10, 64, 0},
    ValidationCase{"zero count", L"0", L"0", RangeMessage("1", "999"), kCountField, 0, 64, 0},
    ValidationCase{"1000", L"1000", L"70", RangeMessage("1", "999"), kCountField, 1000, 64, 0},
    ValidationCase{"eleven nines", L"99999999999", L"70", RangeMessage("1", "999"), kCountField, 4294967295u, 64, 0},
    ValidationCase{"ttl 256", L"5", L"256", RangeMessage("1", "255"), kTtlField, 5, 256, 1},
    ValidationCase{"ttl text", L"5", L"x1", kParse, kTtlField, 5, 64, 1}));
// clang-format on

TEST(DataExchangeTest, OkSavesAndEndsOnlyWhenEveryFieldPasses) {
    CTestDialog dialog;
    std::vector<SeenMessageBox> seen;
    dialog.action = [&](CTestDialog& d) {
        MessageBoxWatcher watcher(d.GetSafeHwnd());
        SetField(d, kCountField, L"0");
        ::SendMessageW(d.GetSafeHwnd(), WM_COMMAND, IDOK, 0);  // fails: the dialog stays
        SetField(d, kCountField, L"3");
        SetField(d, kTtlField, L"30");
        ::PostMessageW(d.GetSafeHwnd(), WM_COMMAND, IDOK, 0);
        seen = watcher.Stop();
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(seen.size(), 1u);
    EXPECT_EQ(dialog.count, 3u);
    EXPECT_EQ(dialog.ttl, 30u);
}

}  // namespace
}  // namespace quillbin::win::testing
