#pragma once
// Registers the program per user as the opener of every extension of a
// comma-separated list, then tells the shell that associations changed.
#include "framework/afx_string.h"

void RegisterFileTypes(const CStringW& strExtensions);
