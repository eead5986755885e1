#include "media/base/windows/WindowsStart.hpp"

#include "media/base/Utf16.hpp"

#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cwchar>

namespace {

// A standard handle the program inherited that leads somewhere: a console, a file or a pipe.
bool leadsSomewhere(DWORD which) {
    HANDLE handle = GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

// Output redirected by the caller stays where it was sent; only the missing streams are pointed
// at the console of the program that started this one (none when started from Explorer).
void attachParentConsole() {
    const bool out = leadsSomewhere(STD_OUTPUT_HANDLE);
    const bool err = leadsSomewhere(STD_ERROR_HANDLE);
    if ((out && err) || !AttachConsole(ATTACH_PARENT_PROCESS)) {
        return;
    }
    if (!out && std::freopen("CONOUT$", "w", stdout) != nullptr) {
        std::setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
    }
    if (!err) {
        std::freopen("CONOUT$", "w", stderr);
    }
}

} // namespace

WindowsStart::WindowsStart() {
    attachParentConsole();
    int count = 0;
    if (LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count); wide != nullptr) {
        for (int i = 0; i < count; ++i) {
            const wchar_t* argument = wide[i];
            arguments_.push_back(
                Utf16::ToUtf8(std::u16string(argument, argument + std::wcslen(argument))));
        }
        LocalFree(wide);
    }
    if (arguments_.empty()) {
        arguments_.emplace_back("dazozi-redov");
    }
    for (const std::string& argument : arguments_) {
        pointers_.push_back(argument.c_str());
    }
    pointers_.push_back(nullptr);
}
