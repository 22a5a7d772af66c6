#pragma once
// The registry entries that associate the extension list with the program, as data.
#include <string>
#include <string_view>
#include <vector>

constexpr const wchar_t* kFileExtsKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";

struct AssociationPlan {
    bool bOk = false;                         // false: nothing may be written
    std::wstring strProgramName;              // file name of the executable
    std::wstring strAppKey;                   // under HKEY_CLASSES_ROOT, default value = strOpenCommand
    std::wstring strOpenCommand;              // "module" "%1"
    std::wstring strAppReference;             // UserChoice\Progid
    std::vector<std::wstring> extensionKeys;  // subkeys of kFileExtsKey, in list order
};

AssociationPlan PlanAssociations(std::wstring_view modulePath, std::wstring_view list);
