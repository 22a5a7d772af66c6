#include <windows.h>
#include <mmsystem.h>

#include "framework/gdiplus_sdk.h"

#include <cstdlib>

#include "feedback/command_states.h"
#include "feedback/command_ui.h"
#include "images/folder/navigation.h"
#include "images/folder/open_filter.h"
#include "mainframe/main_frame.h"
#include "res/resource.h"

namespace {

constexpr PROPID kFrameDelayTag = 0x5100;
constexpr DWORD kExclamationFlags = SND_ALIAS_ID | SND_ASYNC | SND_NOWAIT;  // 0x112001

// The frame-delay property item, or null when the picture has none or it can't be read:
// a buffer GDI+ did not fill is never kept.
Gdiplus::PropertyItem* ReadFrameDelays(Gdiplus::Bitmap& image)
{
    const UINT nSize = image.GetPropertyItemSize(kFrameDelayTag);
    if (nSize == 0)
        return nullptr;
    auto* pItem = static_cast<Gdiplus::PropertyItem*>(std::malloc(nSize));
    if (pItem && image.GetPropertyItem(kFrameDelayTag, nSize, pItem) != Gdiplus::Ok) {
        std::free(pItem);
        pItem = nullptr;
    }
    return pItem;
}

}  // namespace

int CMainFrame::LoadPicture(const CStringW& strFolder, const CStringW& strName, int nMarker)
{
    Gdiplus::Bitmap* pImage = nullptr;
    if (!AcquirePicture(strFolder, strName, pImage))
        return -1;

    delete m_pImage;
    m_pImage = pImage;
    m_strFileName = strName;
    m_sizeImage = CSize(static_cast<int32_t>(m_pImage->GetWidth()), static_cast<int32_t>(m_pImage->GetHeight()));
    LayoutView(true);

    std::free(m_pFrameDelays);
    m_pFrameDelays = nullptr;
    m_nFrameCount = m_pImage->GetFrameCount(&Gdiplus::FrameDimensionTime);

    if (nMarker == 0) {
        ShowTag(nullptr);
    } else {
        ShowTag(nMarker == 1 ? L"EoF" : L"BoF");
        ::PlaySoundW(reinterpret_cast<LPCWSTR>(SND_ALIAS_SYSTEMEXCLAMATION), nullptr, kExclamationFlags);
    }

    SetWindowText((m_strFileName + L" - " + AfxLoadString(IDS_APP_TITLE)).c_str());

    if (m_nFrameCount > 1) {
        m_pFrameDelays = ReadFrameDelays(*m_pImage);
        m_nCurrentFrame = 0;
        StartFrameTimer(true);
    }
    return 0;
}

bool CMainFrame::OpenFile(const CStringW& strPath)
{
    CStringW strFolder, strName;
    if (!SplitPicturePath(strPath, strFolder, strName))
        return false;
    if (LoadPicture(strFolder, strName, 0) != 0)
        return false;
    m_strFolder = strFolder;
    NoteStep(false);
    DropReadAhead();
    PostMessage(WM_SCAN_FOLDER, SCAN_RESCAN, 0);
    return true;
}

namespace {

// The walks load through this, from the folder of the list.
auto FolderLoader(CMainFrame& frame)
{
    return [&frame](const std::wstring& strName, int nMarker) {
        return frame.LoadPicture(frame.m_strFolder, strName, nMarker);
    };
}

}  // namespace

void CMainFrame::OnFileNext()
{
    NoteStep(false);
    WalkNext(m_listFiles, m_itCurrent, FolderLoader(*this));
    PlanReadAheadNow();
}

void CMainFrame::OnFilePrev()
{
    NoteStep(true);
    WalkPrev(m_listFiles, m_itCurrent, FolderLoader(*this));
    PlanReadAheadNow();
}

void CMainFrame::OnFileFirst()
{
    NoteStep(false);
    WalkFirst(m_listFiles, m_itCurrent, FolderLoader(*this));
    PlanReadAheadNow();
}

void CMainFrame::OnFileLast()
{
    NoteStep(true);
    WalkLast(m_listFiles, m_itCurrent, FolderLoader(*this));
    PlanReadAheadNow();
}

void CMainFrame::OnUpdateFileNav(CCmdUI* pCmdUI)
{
    ApplyCommandState(pCmdUI, UpdateFileNavRule(Snapshot()));
}
