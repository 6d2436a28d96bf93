#include "tests/support/files.h"

#include <atomic>

#include "framework/win/unique_handle.h"

namespace quillbin::win {

TempFolder::TempFolder(std::wstring_view stem) {
    static std::atomic<unsigned> counter{0};
    wchar_t temp[MAX_PATH + 1] = {};
    DWORD n = ::GetTempPathW(MAX_PATH, temp);
    if (n == 0 || n > MAX_PATH) return;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::wstring folder = std::wstring(temp) + std::wstring(stem) + L"_" +
                              std::to_wstring(::GetCurrentProcessId()) + L"_" + std::to_wstring(::GetTickCount()) +
                              L"_" + std::to_wstring(counter++);
        if (::CreateDirectoryW(folder.c_str(), nullptr)) {
            m_path = folder + L"\\";
            return;
        }
    }
}

TempFolder::~TempFolder() {
    if (m_path.empty()) return;
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((m_path + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                std::wstring file = m_path + found.cFileName;
                ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileW(file.c_str());
            }
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryW(m_path.c_str());
}

std::optional<std::string> ReadWholeFile(const std::wstring& path) {
    // Shared with every other user: a writer may go on appending meanwhile.
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    std::string out;
    char buffer[64 * 1024];
    DWORD got = 0;
    while (::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) out.append(buffer, got);
    return out;
}

bool WriteWholeFile(const std::wstring& path, std::string_view bytes) {
    UniqueFile file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

}  // namespace quillbin::win
