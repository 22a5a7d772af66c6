#pragma once
// What the two registry settings and the work area turn into, apart from the registry calls.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "framework/geometry.h"

// The list is the text up to the first NUL, never reading past nBufferUnits;
// a failed query (or no buffer) gives the fallback.
std::wstring ExtensionListFromQuery(bool bQueryOk, const wchar_t* buffer, size_t nBufferUnits,
                                    std::wstring_view fallback);

// The stored number as read, without a range check; a failed query gives 0.
int32_t InterpolationFromQuery(bool bQueryOk, uint32_t value);

// An on/off setting: a stored REG_DWORD of 4 bytes is on unless 0; anything else (missing,
// another type or size) gives the default.
bool SwitchFromQuery(bool bQueryOk, uint32_t nType, uint32_t nBytes, uint32_t value, bool bDefault);

// The stored language: a REG_DWORD of 4 bytes as it is, anything else 0 (as if absent).
uint32_t LanguageFromQuery(bool bQueryOk, uint32_t nType, uint32_t nBytes, uint32_t value);

// Centre of the work area, halves truncated toward zero.
CPoint WorkAreaCenter(const CRect& rcWork);
