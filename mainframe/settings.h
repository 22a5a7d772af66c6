#pragma once
// The per-user settings under HKEY_CURRENT_USER\SOFTWARE\Vistrel.
#include <cstdint>

#include "framework/afx_string.h"

// The stored extension list, or the default list when it can't be read.
// Read afresh at every call: there is no cache.
CStringW ReadExtensionList();
// Stores the list as "Extensions"; false when the key can't be opened.
bool WriteExtensionList(const CStringW& strExtensions);

// "DpiAware" under the settings key, read once at start before any window: on unless stored
// as 0. Only read, so it leaves no key behind.
bool ReadDpiAwareSetting();

// "Language" under the settings key, read once at start: the stored REG_DWORD, or 0 when there is
// none. Only read, so it leaves no key behind.
uint32_t ReadLanguageSetting();

// "AutoRotate" under the settings key as the main window will read it: on unless stored as 0.
// Only read, so it leaves no key behind.
bool ReadAutoRotateSetting();
