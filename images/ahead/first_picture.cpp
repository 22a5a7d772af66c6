#include "images/ahead/first_picture.h"

#include <chrono>
#include <cstdint>
#include <limits>
#include <new>
#include <utility>

bool FirstPictureServes(const FirstPictureKey& made, std::wstring_view strPath, bool bAutoRotate, const FileStamp& stamp)
{
    return made.strPath == strPath && made.bAutoRotate == bAutoRotate && made.stamp == stamp;
}

FirstPicture::FirstPicture(ReadAheadHooks hooks, std::wstring strPath, bool bAutoRotate) : m_hooks(std::move(hooks))
{
    m_key.strPath = std::move(strPath);
    m_key.bAutoRotate = bAutoRotate;
    m_thread = std::thread([this] { Run(); });
}

FirstPicture::~FirstPicture()
{
    if (m_thread.joinable())
        m_thread.join();
    if (m_decoded.pPicture)
        m_hooks.release(m_decoded.pPicture);
}

// The stamp is read before the bytes, so a file changed while it decodes is never taken for
// the one decoded. The result is handed over before the apartment is given back.
void FirstPicture::Run()
{
    const bool bStarted = m_hooks.onThreadStart ? m_hooks.onThreadStart() : false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bStarted = true;
    }
    m_cv.notify_all();
    const FileStamp stamp = m_hooks.stamp(m_key.strPath);
    ReadAheadHooks::Decoded decoded;
    try {
        decoded = m_hooks.decode(m_key.strPath, m_key.bAutoRotate, std::numeric_limits<uint64_t>::max());
    } catch (const std::bad_alloc&) {
        decoded = ReadAheadHooks::Decoded{nullptr, 0, DecodeStatus::NoMemory};
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_key.stamp = stamp;
        m_decoded = decoded;
        m_bDone = true;
    }
    m_cv.notify_all();
    if (bStarted && m_hooks.onThreadEnd)
        m_hooks.onThreadEnd();
}

ReadAhead::Outcome FirstPicture::Take(const std::wstring& strPath, bool bAutoRotate, void*& pPicture)
{
    pPicture = nullptr;
    ReadAheadHooks::Decoded decoded;
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (m_bTaken)
            return ReadAhead::Outcome::None;
        m_bTaken = true;
        // Another file, or the same asked another way: no reason to wait for this decode.
        if (strPath != m_key.strPath || bAutoRotate != m_key.bAutoRotate)
            return ReadAhead::Outcome::None;
        m_cv.wait(lock, [this] { return m_bDone; });
        decoded = std::exchange(m_decoded, ReadAheadHooks::Decoded{});
    }
    // The key is the thread's no more once the decode is done.
    if (!FirstPictureServes(m_key, strPath, bAutoRotate, m_hooks.stamp(strPath))) {
        if (decoded.pPicture)
            m_hooks.release(decoded.pPicture);
        return ReadAhead::Outcome::None;
    }
    pPicture = decoded.pPicture;
    return pPicture ? ReadAhead::Outcome::Picture : ReadAhead::Outcome::Failure;
}

void FirstPicture::WaitStarted(unsigned nMaxMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_cv.wait_for(lock, std::chrono::milliseconds(nMaxMs), [this] { return m_bStarted; });
}

bool FirstPicture::Done() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_bDone;
}
