#include <windows.h>
#include <objbase.h>

#include <cstdint>

#include "framework/gdiplus_sdk.h"
#include "images/decode/picture_decode.h"
#include "images/decode/read_ahead.h"
#include "mainframe/main_frame.h"

namespace {

// Far enough past a run of undecodable files for any ordinary folder; a longer run is
// walked on the user-interface thread as before.
constexpr size_t kPlanLength = 16;

FileStamp ReadFileStamp(const std::wstring& strPath)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    FileStamp stamp;
    if (!::GetFileAttributesExW(strPath.c_str(), GetFileExInfoStandard, &data))
        return stamp;
    stamp.bExists = true;
    stamp.nSize = (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    stamp.nWriteTime = (uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime;
    return stamp;
}

// A quarter of the physical memory: no prepared picture is bigger, nor two together.
uint64_t ReadAheadBudget()
{
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);
    if (!::GlobalMemoryStatusEx(&status))
        return 256ull << 20;
    return status.ullTotalPhys / 4;
}

ReadAheadHooks PictureHooks()
{
    ReadAheadHooks hooks;
    hooks.decode = [](const std::wstring& strPath, bool bAutoRotate, uint64_t& nBytes) -> void* {
        Gdiplus::Bitmap* pImage = DecodePictureFile(strPath, bAutoRotate);
        nBytes = pImage ? uint64_t{pImage->GetWidth()} * pImage->GetHeight() * 4 : 0;
        return pImage;
    };
    hooks.release = [](void* p) { delete static_cast<Gdiplus::Bitmap*>(p); };
    hooks.stamp = &ReadFileStamp;
    // The decoders may be COM objects; the worker gets an apartment of its own.
    hooks.onThreadStart = [] { ::CoInitializeEx(nullptr, COINIT_MULTITHREADED); };
    hooks.onThreadEnd = [] { ::CoUninitialize(); };
    return hooks;
}

}  // namespace

// Idle time comes after every burst of messages, animation frames included: a plan is made
// only when a step, an open or a rescan has changed what the next steps would try.
void CMainFrame::ReadAheadWhenIdle()
{
    if (m_bReadAhead && !m_pReadAhead)
        m_pReadAhead = std::make_unique<ReadAhead>(PictureHooks(), ReadAheadBudget());
    if (!m_bReadAheadStale || !m_pReadAhead || !m_pImage || m_listFiles.empty())
        return;
    m_bReadAheadStale = false;
    m_pReadAhead->SetPlan(
        PlanReadAhead(m_strFolder, m_bAutoRotate, m_listFiles, m_itCurrent, m_bStepBackward, kPlanLength));
}

void CMainFrame::StopReadAhead()
{
    if (m_pReadAhead)
        m_pReadAhead->Stop();
}

// Every prepared result belongs to the list it was planned from: a new list drops them all.
void CMainFrame::DropReadAhead()
{
    if (m_pReadAhead)
        m_pReadAhead->DropAll();
    m_bReadAheadStale = true;
}

void CMainFrame::NoteStep(bool bBackward)
{
    m_bStepBackward = bBackward;
    m_bReadAheadStale = true;
}

// A prepared result when there is one for this very file, otherwise a decode here.
// Returns false for a file that can't be shown.
bool CMainFrame::AcquirePicture(const CStringW& strFolder, const CStringW& strName, Gdiplus::Bitmap*& pImage)
{
    pImage = nullptr;
    if (m_pReadAhead) {
        void* pPrepared = nullptr;
        switch (m_pReadAhead->Take(strFolder, strName, m_bAutoRotate, pPrepared)) {
        case ReadAhead::Outcome::Picture:
            pImage = static_cast<Gdiplus::Bitmap*>(pPrepared);
            return true;
        case ReadAhead::Outcome::Failure:
            return false;
        case ReadAhead::Outcome::None:
            break;
        }
    }
    CStringW strPath;
    try {
        strPath = strFolder + strName;
    } catch (const std::bad_alloc&) {
        return false;
    }
    pImage = DecodePictureFile(strPath, m_bAutoRotate);
    return pImage != nullptr;
}
