// Files of the tests: a fresh folder that goes with its owner, and whole
// files read and written at once.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace quillbin::win {

// A fresh, empty folder under the temporary folder, unique per process and
// per object, so tests that run side by side never share one. It goes, with
// the files in it (read-only ones too), when the object goes.
class TempFolder {
public:
    explicit TempFolder(std::wstring_view stem);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // False when no folder could be made; Path() is empty then.
    bool ok() const { return !m_path.empty(); }
    // With a trailing backslash.
    const std::wstring& Path() const { return m_path; }
    std::wstring File(std::wstring_view name) const { return m_path + std::wstring(name); }

private:
    std::wstring m_path;
};

// The file's bytes as they are now (another process may still be writing
// it); nothing when it cannot be opened.
std::optional<std::string> ReadWholeFile(const std::wstring& path);
// Creates or replaces the file.
bool WriteWholeFile(const std::wstring& path, std::string_view bytes);

}  // namespace quillbin::win
