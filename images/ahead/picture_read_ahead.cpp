#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <cstdint>
#include <exception>
#include <memory>

#include "framework/gdiplus_sdk.h"
#include "images/ahead/first_picture.h"
#include "images/ahead/read_ahead.h"
#include "images/decode/file_in_memory.h"
#include "images/decode/picture_decode.h"
#include "mainframe/main_frame.h"

namespace {

// Far enough past a run of undecodable files for any ordinary folder; a longer run is
// walked on the user-interface thread as before.
constexpr size_t kPlanLength = 16;
// The longest a start waits for the first picture's thread to load its decoders.
constexpr unsigned kFirstPictureStartMs = 100;

// The change time comes through a handle opened for attributes only, sharing everything, so
// it never stands in the way of another program, and closed at once.
uint64_t ReadChangeTime(const std::wstring& strPath)
{
    const HANDLE hFile = ::CreateFileW(strPath.c_str(), FILE_READ_ATTRIBUTES,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return 0;
    FILE_BASIC_INFO info{};
    const bool bRead = ::GetFileInformationByHandleEx(hFile, FileBasicInfo, &info, sizeof(info)) != FALSE;
    ::CloseHandle(hFile);
    return bRead ? static_cast<uint64_t>(info.ChangeTime.QuadPart) : 0;
}

FileStamp ReadFileStamp(const std::wstring& strPath)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    FileStamp stamp;
    if (!::GetFileAttributesExW(strPath.c_str(), GetFileExInfoStandard, &data))
        return stamp;
    stamp.bExists = true;
    stamp.nSize = (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    stamp.nWriteTime = (uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime;
    stamp.nChangeTime = ReadChangeTime(strPath);
    return stamp;
}

// Read at every decision, so the budget follows what the rest of the machine uses.
MemoryStatus ReadMemoryStatus()
{
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);
    if (!::GlobalMemoryStatusEx(&status))
        return MemoryStatus{};
    return MemoryStatus{status.ullAvailPhys, status.ullAvailVirtual, sizeof(void*) == 4};
}

ReadAheadHooks PictureHooks()
{
    ReadAheadHooks hooks;
    hooks.decode = [](const std::wstring& strPath, bool bAutoRotate, uint64_t nMaxBytes) {
        const DecodeResult result = DecodePicture(strPath, bAutoRotate, nMaxBytes);
        ReadAheadHooks::Decoded decoded;
        decoded.pPicture = result.pImage;
        decoded.status = result.status;
        if (result.pImage) {
            decoded.nBytes = uint64_t{result.pImage->GetWidth()} * result.pImage->GetHeight() * 4;
            // An animated picture's decoder keeps the file's bytes for as long as it is held.
            if (result.pImage->GetFrameCount(&Gdiplus::FrameDimensionTime) > 1)
                decoded.nBytes += ReadFileStamp(strPath).nSize;
        }
        return decoded;
    };
    hooks.release = [](void* p) { delete static_cast<Gdiplus::Bitmap*>(p); };
    hooks.stamp = &ReadFileStamp;
    hooks.memory = &ReadMemoryStatus;
    // The decoders may be COM objects: each worker gets an apartment of its own, and gives
    // it back only when it got one.
    hooks.onThreadStart = [] {
        if (FAILED(::CoInitializeEx(nullptr, COINIT_MULTITHREADED)))
            return false;
        KeepThreadDecoders();
        return true;
    };
    hooks.onThreadEnd = [] {
        ReleaseThreadDecoders();
        ::CoUninitialize();
    };
    hooks.watchStop = [](const std::atomic<bool>* pStopping) { StopReadsOnThisThreadWhen(pStopping); };
    return hooks;
}

size_t WorkerCount()
{
    SYSTEM_INFO info{};
    ::GetSystemInfo(&info);
    return ReadAheadWorkerCount(info.dwNumberOfProcessors);
}

// Input or commands waiting in the queue: the user is stepping faster than pictures decode.
bool StepsPending()
{
    return HIWORD(::GetQueueStatus(QS_KEY | QS_MOUSEBUTTON | QS_POSTMESSAGE)) != 0;
}

}  // namespace

// The thread loads its decoders before the window's DLLs are loaded here: both need the loader.
std::unique_ptr<FirstPicture> StartFirstPicture(const std::wstring& strPath, bool bAutoRotate)
{
    std::unique_ptr<FirstPicture> pFirst;
    try {
        pFirst = std::make_unique<FirstPicture>(PictureHooks(), strPath, bAutoRotate);
    } catch (const std::exception&) {
        return nullptr;
    }
    pFirst->WaitStarted(kFirstPictureStartMs);
    return pFirst;
}

// After every step and rescan, from the walk's position and the way of the latest step, so
// that queued keys find the workers already decoding beyond them.
void CMainFrame::PlanReadAheadNow()
{
    if (!m_bReadAhead || !m_pImage || m_listFiles.empty())
        return;
    if (!m_pReadAhead)
        m_pReadAhead = std::make_unique<ReadAhead>(PictureHooks(), WorkerCount());
    ReadAheadPlan plan =
        PlanReadAhead(m_strFolder, m_bAutoRotate, m_listFiles, m_itCurrent, m_bStepBackward, kPlanLength);
    plan.nShownBytes = uint64_t(std::max(m_sizeImage.cx, 0)) * uint64_t(std::max(m_sizeImage.cy, 0)) * 4;
    m_pReadAhead->SetPlan(std::move(plan));
}

// The start-up decode ends with the pool: both hold GDI+ pictures. Workers a decoder fault
// left stuck go on using the pool: it is let go, never deleted, and the process ends around them.
void CMainFrame::StopReadAhead()
{
    m_pFirstPicture.reset();
    if (m_pReadAhead && !m_pReadAhead->Stop())
        static_cast<void>(m_pReadAhead.release());
}

// Every prepared result belongs to the list it was planned from: a new list drops them all.
void CMainFrame::DropReadAhead()
{
    if (m_pReadAhead)
        m_pReadAhead->DropAll();
}

void CMainFrame::NoteStep(bool bBackward)
{
    m_bStepBackward = bBackward;
}

// The start-up decode or a prepared result when there is one for this very file, otherwise a
// decode here. Returns false for a file that can't be shown.
bool CMainFrame::AcquirePicture(const CStringW& strFolder, const CStringW& strName, Gdiplus::Bitmap*& pImage)
{
    pImage = nullptr;
    CStringW strPath;
    try {
        strPath = strFolder + strName;
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (m_pFirstPicture) {
        void* pFirst = nullptr;
        const ReadAhead::Outcome outcome = m_pFirstPicture->Take(strPath, m_bAutoRotate, pFirst);
        if (outcome != ReadAhead::Outcome::None) {
            pImage = static_cast<Gdiplus::Bitmap*>(pFirst);
            return pImage != nullptr;
        }
    }
    if (m_pReadAhead) {
        void* pPrepared = nullptr;
        switch (m_pReadAhead->Take(strFolder, strName, m_bAutoRotate, pPrepared, &StepsPending)) {
        case ReadAhead::Outcome::Picture:
            pImage = static_cast<Gdiplus::Bitmap*>(pPrepared);
            return true;
        case ReadAhead::Outcome::Failure:
            return false;
        case ReadAhead::Outcome::None:
            break;
        }
    }
    pImage = DecodePicture(strPath, m_bAutoRotate).pImage;
    return pImage != nullptr;
}
