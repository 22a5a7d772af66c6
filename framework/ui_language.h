#pragma once
// The one place the program's resources are read by language. The language is chosen once at
// start; every string, menu and dialog template is then found in it explicitly, never through
// the thread's own language, which some systems don't let a program change.
#include <windows.h>

#include "framework/afx_string.h"

// Fixes the language for the rest of the run. Until it is called, the user's interface
// language decides (as with no setting stored).
void AfxSetUiLanguage(LANGID nLanguage);
LANGID AfxGetUiLanguage();

// The resources of hModule in nLanguage; where one is missing, in the other language.
CStringW AfxLoadStringIn(HMODULE hModule, UINT nID, LANGID nLanguage);
HMENU AfxLoadMenuIn(HMODULE hModule, UINT nID, LANGID nLanguage);
const DLGTEMPLATE* AfxFindDialogIn(HMODULE hModule, UINT nID, LANGID nLanguage);

// The program's own resources in the chosen language. A dialog template goes to
// DialogBoxIndirectParamW, CreateDialogIndirectParamW or a page made with PSP_DLGINDIRECT;
// null when the program has none of that id.
HMENU AfxLoadMenu(UINT nID);
const DLGTEMPLATE* AfxFindDialog(UINT nID);
