// pending: tag window
#include "feedback/tag_wnd.h"
#include "mainframe/main_frame.h"
BEGIN_MESSAGE_MAP(CTagWnd, CWnd)
END_MESSAGE_MAP()
CTagWnd::CTagWnd() {}
CTagWnd::~CTagWnd() {}
void CTagWnd::ShowText(const CStringW&) {}
void CTagWnd::PostNcDestroy() { delete this; }
void CTagWnd::OnPaint() {}
void CTagWnd::OnTimer(UINT_PTR) {}
void CTagWnd::OnDestroy() {}
void CMainFrame::ShowTag(const wchar_t*) {}
