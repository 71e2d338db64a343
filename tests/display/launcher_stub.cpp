// The family's launcher as a Windows test sees it: writes the arguments it was started with to
// "launched" in the family's top folder (the folder above its own), whole or not at all.
#include <cstdio>
#include <string>
#include <windows.h>

int wmain(int argc, wchar_t* argv[])
{
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring top(self, length);
    top = top.substr(0, top.find_last_of(L'\\')); // its folder, "起動"
    top = top.substr(0, top.find_last_of(L'\\'));
    std::wstring text;
    for (int i = 1; i < argc; ++i)
        text += (i > 1 ? L" " : L"") + std::wstring(argv[i]);
    const std::wstring partial = top + L"\\launched.part";
    FILE* out = _wfopen(partial.c_str(), L"w");
    if (!out)
        return 1;
    std::fputws((text + L"\n").c_str(), out);
    std::fclose(out);
    return MoveFileExW(partial.c_str(), (top + L"\\launched").c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
