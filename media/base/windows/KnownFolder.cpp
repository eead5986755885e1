#include "media/base/KnownFolder.hpp"

#include "media/base/Utf16.hpp"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

std::string KnownFolder::Path(Kind kind) {
    const KNOWNFOLDERID& id = kind == Kind::Pictures ? FOLDERID_Pictures : FOLDERID_Documents;
    PWSTR wide = nullptr;
    // KF_FLAG_DONT_VERIFY: the path even when the folder is missing; the caller makes it.
    std::string path;
    if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &wide)) &&
        wide != nullptr) {
        path = Utf16::ToUtf8(std::u16string(wide, wide + wcslen(wide)));
    }
    CoTaskMemFree(wide); // also when the call failed: it may have allocated
    return path;
}
