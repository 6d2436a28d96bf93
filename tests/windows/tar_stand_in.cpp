// tar_stand_in.exe -x -f ZIP -C FOLDER NAME...: takes the named entries out
// of a zip, as the Windows run's script (scripts/windows-tests.cmd) has
// Windows' own tar.exe (libarchive's bsdtar, in every Windows 10 and 11) do.
// Wine has no tar.exe: the test of that script under Wine hands it this
// one. It reads zips as scripts/package_zip.py writes them (entries stored
// or deflated, no data descriptors) and checks each entry's CRC.
#include <windows.h>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <optional>
#include <string>

#include "framework/win/wide_text.h"
#include "tests/support/files.h"

namespace {

uint32_t Little(const std::string& bytes, size_t at, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// The entry's bytes; nothing when the zip lacks it or it is damaged.
std::optional<std::string> Entry(const std::string& zip, const std::string& name) {
    size_t end = zip.rfind(std::string("PK\x05\x06", 4));
    if (end == std::string::npos || end + 22 > zip.size()) return std::nullopt;
    size_t at = Little(zip, end + 16, 4);
    for (uint32_t i = 0, count = Little(zip, end + 10, 2); i < count; ++i) {
        if (at + 46 > zip.size() || Little(zip, at, 4) != 0x02014b50) return std::nullopt;
        const uint32_t method = Little(zip, at + 10, 2), crc = Little(zip, at + 16, 4);
        const uint32_t packed = Little(zip, at + 20, 4), size = Little(zip, at + 24, 4);
        const uint32_t nameLength = Little(zip, at + 28, 2), local = Little(zip, at + 42, 4);
        const bool wanted = zip.compare(at + 46, nameLength, name) == 0 && nameLength == name.size();
        at += 46 + nameLength + Little(zip, at + 30, 2) + Little(zip, at + 32, 2);
        if (!wanted) continue;
        if (local + 30 > zip.size() || Little(zip, local, 4) != 0x04034b50) return std::nullopt;
        const size_t data = local + 30 + Little(zip, local + 26, 2) + Little(zip, local + 28, 2);
        if (data + packed > zip.size()) return std::nullopt;
        std::string out(size, '\0');
        if (method == 0 && packed == size) {
            out = zip.substr(data, size);
        } else if (method == 8) {
            z_stream stream{};
            if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return std::nullopt;
            stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zip.data() + data));
            stream.avail_in = packed;
            stream.next_out = reinterpret_cast<Bytef*>(out.data());
            stream.avail_out = size;
            const int status = inflate(&stream, Z_FINISH);
            const uLong inflated = stream.total_out;
            inflateEnd(&stream);
            if (status != Z_STREAM_END || inflated != size) return std::nullopt;
        } else {
            return std::nullopt;
        }
        if (crc32(0, reinterpret_cast<const Bytef*>(out.data()), size) != crc) return std::nullopt;
        return out;
    }
    return std::nullopt;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 7 || std::wcscmp(argv[1], L"-x") != 0 || std::wcscmp(argv[2], L"-f") != 0 ||
        std::wcscmp(argv[4], L"-C") != 0) {
        std::fputs("usage: tar_stand_in.exe -x -f ZIP -C FOLDER NAME...\n", stderr);
        return 2;
    }
    std::optional<std::string> zip = quillbin::win::ReadWholeFile(argv[3]);
    if (!zip) {
        std::fprintf(stderr, "tar: cannot read %ls\n", argv[3]);
        return 1;
    }
    std::wstring folder = argv[5];
    if (folder.back() != L'\\') folder += L'\\';
    for (int i = 6; i < argc; ++i) {
        std::optional<std::string> entry = Entry(*zip, quillbin::win::Utf8FromWide(argv[i]));
        if (!entry) {
            std::fprintf(stderr, "tar: %ls: not in the zip, or damaged\n", argv[i]);
            return 1;
        }
        if (!quillbin::win::WriteWholeFile(folder + argv[i], *entry)) {
            std::fprintf(stderr, "tar: cannot write %ls%ls\n", folder.c_str(), argv[i]);
            return 1;
        }
    }
    return 0;
}
