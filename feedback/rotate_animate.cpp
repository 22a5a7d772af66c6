#include <windows.h>

#include "framework/gdiplus_sdk.h"

#include "feedback/animation_rules.h"
#include "feedback/command_states.h"
#include "feedback/command_ui.h"
#include "mainframe/main_frame.h"
#include "res/resource.h"

void CMainFrame::OnRotateFlip(UINT nID)
{
    if (!m_pImage)
        return;
    Gdiplus::RotateFlipType type;
    UINT nWord;
    switch (nID) {
    case ID_EDIT_FLIP_HORIZONTAL:
        type = Gdiplus::RotateNoneFlipX;
        nWord = IDS_FLIP;
        break;
    case ID_EDIT_FLIP_VERTICAL:
        type = Gdiplus::Rotate180FlipX;  // the same as RotateNoneFlipY
        nWord = IDS_FLIP;
        break;
    case ID_EDIT_ROTATE_CW:
        type = Gdiplus::Rotate90FlipNone;
        nWord = IDS_ROTATE;
        break;
    case ID_EDIT_ROTATE_CCW:
        type = Gdiplus::Rotate270FlipNone;
        nWord = IDS_ROTATE;
        break;
    default:
        return;
    }
    if (m_pImage->RotateFlip(type) != Gdiplus::Ok)
        return;
    m_sizeImage = CSize(static_cast<int32_t>(m_pImage->GetWidth()), static_cast<int32_t>(m_pImage->GetHeight()));
    LayoutView(false);
    const CStringW strWord = AfxLoadString(nWord);
    ShowTag(strWord.c_str());
}

void CMainFrame::OnUpdateRotateFlip(CCmdUI* pCmdUI)
{
    ApplyCommandState(pCmdUI, UpdateRotateFlipRule(Snapshot()));
}

void CMainFrame::StartFrameTimer(bool bForce)
{
    // Survives pictures and windows alike: a running periodic timer is left alone
    // while the period stays the same.
    static int32_t s_nLastDelay = 0;

    const int32_t* pDelays = nullptr;
    uint32_t nDelays = 0;
    if (m_pFrameDelays && m_pFrameDelays->value) {
        pDelays = static_cast<const int32_t*>(m_pFrameDelays->value);
        nDelays = DelayCountFromLength(m_pFrameDelays->length);
    }
    const int32_t nDelay = ChooseFrameDelay(pDelays, nDelays, m_nCurrentFrame);
    const FrameTimerDecision decision = DecideFrameTimer(bForce, nDelay, s_nLastDelay);
    if (!decision.bArm)
        return;
    SetTimer(kAnimationTimer, decision.nPeriodMs);
    s_nLastDelay = decision.nDelay;
}

void CMainFrame::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kAnimationTimer) {
        CFrameWnd::OnTimer(nIDEvent);
        return;
    }
    if (m_nFrameCount <= 1 || !m_pImage) {
        KillTimer(kAnimationTimer);
        return;
    }
    m_nCurrentFrame = NextFrameIndex(m_nCurrentFrame, m_nFrameCount);
    if (m_pImage->SelectActiveFrame(&Gdiplus::FrameDimensionTime, m_nCurrentFrame) == Gdiplus::Ok)
        Invalidate(FALSE);
    StartFrameTimer(false);
}
