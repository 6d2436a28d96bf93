// The Japanese texts read back right whatever the ANSI code page: this
// program runs once under a Japanese locale (code page 932) and once under
// C.UTF-8 (1252); QB_EXPECT_ACP names the code page the run is meant for.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/e2e/dialog_driver.h"
#include "tests/e2e/expected_texts.h"
#include "tests/e2e/ghost_events.h"
#include "tests/e2e/owned_boxes.h"
#include "tests/e2e/program_with_ghost_host.h"
#include "tests/e2e/quillbin_process.h"
#include "tests/e2e/window_access.h"

namespace quillbin::win::e2e {
namespace {

TEST(Locale, TheListLineAndTheValidationMessageReadBackInJapanese) {
    // Children inherit the locale: a wrong one here would test nothing.
    if (const char* expected = std::getenv("QB_EXPECT_ACP")) {
        ASSERT_EQ(::GetACP(), static_cast<UINT>(std::atoi(expected))) << "the locale did not take effect";
    }
    RecordProperty("code_page", static_cast<int>(::GetACP()));
    ProgramWithGhostHost e2e;
    ASSERT_TRUE(e2e.Start()) << e2e.error();
    auto& [host, program, dialog] = e2e;

    ASSERT_TRUE(dialog.Fill({L"127.0.0.1", L"1", L"18", L"255"}));
    ASSERT_TRUE(RunAndWaitForResults(dialog, host, 1, 30000));
    std::vector<std::wstring> lines = dialog.Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(MaskListTime(lines[0]), LoopbackOkLine());

    ASSERT_TRUE(dialog.Type(kCountField, L"abc"));
    dialog.PressSend();
    std::optional<MessageBoxSeen> box = WaitForMessageBox(dialog.Dialog(), 5000);
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, kNotANumberMessage);
    EXPECT_TRUE(DismissBox(box->window));
}

}  // namespace
}  // namespace quillbin::win::e2e
