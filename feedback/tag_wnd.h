#pragma once
// The label that flashes file name, zoom and a word above the main window for
// three seconds. It deletes itself when its window is gone and tells its
// owner while it is destroyed, so the owner never holds a dangling pointer.
#include <cstdint>

#include "framework/afx_string.h"
#include "framework/dpi_scale.h"
#include "framework/gdi.h"
#include "framework/wnd.h"

constexpr UINT_PTR kTagTimer = 55;
constexpr UINT kTagLifetimeMs = 3000;

class CTagWnd : public CWnd {
public:
    // The font and the air around the text follow the DPI of the owner's monitor.
    explicit CTagWnd(uint32_t nDpi = 0);
    ~CTagWnd() override;

    // Replaces the text, sizes and places the label over its owner, shows it
    // without activating it and restarts its three seconds.
    void ShowText(const CStringW& text);

    void PostNcDestroy() override;
    void OnPaint();
    void OnTimer(UINT_PTR nIDEvent);
    void OnDestroy();

    CStringW m_strText;
    CFont m_font;
    HWND m_hWndOwner = nullptr;
    uint32_t m_nDpi = 0;

    DECLARE_MESSAGE_MAP()
};

class CMainFrame;

// The main window's label window, made hidden when it has none yet (ahead of its first text
// while the start-up picture decodes); false when it can't be made.
bool CreateTagWnd(CMainFrame& frame);
