#pragma once
// The options sheet: the file-types page that edits, stores and registers the
// extension list, and the about page with its upgrade button.
#include <windows.h>

#include "framework/property_sheet.h"

// The maker's web page, opened by the upgrade button.
constexpr const wchar_t* kUpgradeAddress = L"https://vistrel.example.org/";

using ShellExecuteFn = HINSTANCE(WINAPI*)(HWND hwnd, LPCWSTR lpOperation, LPCWSTR lpFile, LPCWSTR lpParameters,
                                          LPCWSTR lpDirectory, INT nShowCmd);
// ShellExecuteW, replaceable so a test can see the page being asked for.
extern ShellExecuteFn g_pfnShellExecute;

class CPageFileTypes : public CPropertyPage {
public:
    CPageFileTypes();

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    void OnChangeExtensions();
    void MarkChanged();
    void ReadExtensions();
    void WriteExtensions();

    bool m_bInitDone = false;
    // Starts set: the first apply stores and registers the list even unedited.
    bool m_bChanged = true;
    CStringW m_strExtensions;

    DECLARE_MESSAGE_MAP()
};

class CPageAbout : public CPropertyPage {
public:
    CPageAbout();

    void DoDataExchange(CDataExchange* pDX) override;

    void OnUpgrade();

    DECLARE_MESSAGE_MAP()
};
