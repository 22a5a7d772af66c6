#include "images/decode/memory_stream.h"

#include <windows.h>
#include <objidl.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>

namespace {

// The bytes and their reference count, shared by a stream and its clones.
struct Bytes {
    std::atomic<ULONG> nRefs{1};
    size_t nSize = 0;
    uint8_t* pData = nullptr;

    void AddRef() { ++nRefs; }
    void Release()
    {
        if (--nRefs == 0) {
            ::HeapFree(::GetProcessHeap(), 0, pData);
            delete this;
        }
    }
};

class MemoryStream final : public IStream {
public:
    explicit MemoryStream(Bytes* pBytes) : m_pBytes(pBytes) {}
    MemoryStream(const MemoryStream&) = delete;
    MemoryStream& operator=(const MemoryStream&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_ISequentialStream) ||
            IsEqualIID(riid, IID_IStream)) {
            *ppv = static_cast<IStream*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_nRefs; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG nLeft = --m_nRefs;
        if (nLeft == 0) {
            m_pBytes->Release();
            delete this;
        }
        return nLeft;
    }

    HRESULT STDMETHODCALLTYPE Read(void* pv, ULONG cb, ULONG* pcbRead) override
    {
        if (!pv)
            return STG_E_INVALIDPOINTER;
        const uint64_t nLeft = m_nPosition < m_pBytes->nSize ? m_pBytes->nSize - m_nPosition : 0;
        const ULONG nRead = static_cast<ULONG>(std::min<uint64_t>(cb, nLeft));
        if (nRead)
            std::memcpy(pv, m_pBytes->pData + m_nPosition, nRead);
        m_nPosition += nRead;
        if (pcbRead)
            *pcbRead = nRead;
        return nRead == cb ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG* pcbWritten) override
    {
        if (pcbWritten)
            *pcbWritten = 0;
        return STG_E_ACCESSDENIED;
    }
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD dwOrigin, ULARGE_INTEGER* pNewPosition) override
    {
        int64_t nBase = 0;
        if (dwOrigin == STREAM_SEEK_CUR)
            nBase = static_cast<int64_t>(m_nPosition);
        else if (dwOrigin == STREAM_SEEK_END)
            nBase = static_cast<int64_t>(m_pBytes->nSize);
        else if (dwOrigin != STREAM_SEEK_SET)
            return STG_E_INVALIDFUNCTION;
        // Positions stay far below 2^62, so the sum can't overflow.
        const int64_t nMove = move.QuadPart;
        if (nMove < -(int64_t{1} << 62) || nMove > (int64_t{1} << 62) || nBase + nMove < 0)
            return STG_E_INVALIDFUNCTION;
        m_nPosition = static_cast<uint64_t>(nBase + nMove);
        if (pNewPosition)
            pNewPosition->QuadPart = m_nPosition;
        return S_OK;
    }
    // Only ever shorter: the file that filled the bytes may have shrunk meanwhile.
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) override
    {
        if (size.QuadPart > m_pBytes->nSize)
            return STG_E_ACCESSDENIED;
        m_pBytes->nSize = static_cast<size_t>(size.QuadPart);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE CopyTo(IStream* pTarget, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead,
                                     ULARGE_INTEGER* pcbWritten) override
    {
        if (!pTarget)
            return STG_E_INVALIDPOINTER;
        const uint64_t nLeft = m_nPosition < m_pBytes->nSize ? m_pBytes->nSize - m_nPosition : 0;
        const ULONG nCopy = static_cast<ULONG>(std::min<uint64_t>({cb.QuadPart, nLeft, ULONG{0xFFFFFFFF}}));
        ULONG nWritten = 0;
        const HRESULT hr = nCopy ? pTarget->Write(m_pBytes->pData + m_nPosition, nCopy, &nWritten) : S_OK;
        m_nPosition += nCopy;
        if (pcbRead)
            pcbRead->QuadPart = nCopy;
        if (pcbWritten)
            pcbWritten->QuadPart = nWritten;
        return hr;
    }
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Revert() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override
    {
        return STG_E_INVALIDFUNCTION;
    }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override
    {
        return STG_E_INVALIDFUNCTION;
    }
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* pStat, DWORD) override
    {
        if (!pStat)
            return STG_E_INVALIDPOINTER;
        *pStat = STATSTG{};
        pStat->type = STGTY_STREAM;
        pStat->cbSize.QuadPart = m_pBytes->nSize;
        pStat->grfMode = STGM_READ;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IStream** ppStream) override
    {
        if (!ppStream)
            return STG_E_INVALIDPOINTER;
        auto* pClone = new (std::nothrow) MemoryStream(m_pBytes);
        *ppStream = pClone;
        if (!pClone)
            return E_OUTOFMEMORY;
        m_pBytes->AddRef();
        pClone->m_nPosition = m_nPosition;
        return S_OK;
    }

private:
    ~MemoryStream() = default;

    std::atomic<ULONG> m_nRefs{1};
    Bytes* m_pBytes;
    uint64_t m_nPosition = 0;
};

}  // namespace

IStream* CreateMemoryStream(size_t nSize, uint8_t** ppData)
{
    *ppData = nullptr;
    auto* pBytes = new (std::nothrow) Bytes;
    if (!pBytes)
        return nullptr;
    pBytes->nSize = nSize;
    pBytes->pData = static_cast<uint8_t*>(::HeapAlloc(::GetProcessHeap(), 0, std::max<size_t>(nSize, 1)));
    auto* pStream = pBytes->pData ? new (std::nothrow) MemoryStream(pBytes) : nullptr;
    if (!pStream) {
        pBytes->Release();
        return nullptr;
    }
    *ppData = pBytes->pData;
    return pStream;
}
