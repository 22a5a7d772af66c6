#include "images/decode/picture_signature.h"

#include <windows.h>
#include <objbase.h>
#include <wincodec.h>

#include <mutex>
#include <new>

#include "framework/gdiplus_sdk.h"

namespace {

std::mutex g_mutex;
std::shared_ptr<const DecoderSignatures> g_pKnown;

bool ListGdiplusDecoders(std::vector<SignaturePattern>& patterns)
{
    UINT nCount = 0, nBytes = 0;
    if (Gdiplus::DllExports::GdipGetImageDecodersSize(&nCount, &nBytes) != Gdiplus::Ok)
        return false;
    if (nCount == 0)
        return true;
    std::vector<uint64_t> block((nBytes + sizeof(uint64_t) - 1) / sizeof(uint64_t));
    auto* pCodecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(block.data());
    if (Gdiplus::DllExports::GdipGetImageDecoders(nCount, nBytes, pCodecs) != Gdiplus::Ok)
        return false;
    for (UINT i = 0; i < nCount; ++i) {
        const Gdiplus::ImageCodecInfo& codec = pCodecs[i];
        if (!(codec.Flags & Gdiplus::ImageCodecFlagsDecoder) || !codec.SigPattern || !codec.SigMask)
            continue;
        for (DWORD nSig = 0; nSig < codec.SigCount; ++nSig) {
            const BYTE* pPattern = codec.SigPattern + size_t{nSig} * codec.SigSize;
            const BYTE* pMask = codec.SigMask + size_t{nSig} * codec.SigSize;
            SignaturePattern p;
            p.pattern.assign(pPattern, pPattern + codec.SigSize);
            p.mask.assign(pMask, pMask + codec.SigSize);
            patterns.push_back(std::move(p));
        }
    }
    return true;
}

void AddWicPatterns(IWICBitmapDecoderInfo* pInfo, std::vector<SignaturePattern>& patterns)
{
    UINT nCount = 0, nBytes = 0;
    if (FAILED(pInfo->GetPatterns(0, nullptr, &nCount, &nBytes)) || nCount == 0 || nBytes == 0)
        return;
    std::vector<uint64_t> block((nBytes + sizeof(uint64_t) - 1) / sizeof(uint64_t));
    auto* pPatterns = reinterpret_cast<WICBitmapPattern*>(block.data());
    if (FAILED(pInfo->GetPatterns(nBytes, pPatterns, &nCount, &nBytes)))
        return;
    for (UINT i = 0; i < nCount; ++i) {
        const WICBitmapPattern& w = pPatterns[i];
        if (!w.Pattern || !w.Mask)
            continue;
        SignaturePattern p;
        p.nPosition = w.Position.QuadPart;
        p.bFromEnd = w.EndOfStream != FALSE;
        p.pattern.assign(w.Pattern, w.Pattern + w.Length);
        p.mask.assign(w.Mask, w.Mask + w.Length);
        patterns.push_back(std::move(p));
    }
}

bool ListWicDecoders(std::vector<SignaturePattern>& patterns)
{
    // COM for this thread while the list is read: a worker's own apartment is already there
    // (S_FALSE), the user-interface thread's single-threaded one refuses another mode.
    const HRESULT hrInit = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    IWICImagingFactory* pFactory = nullptr;
    IEnumUnknown* pEnum = nullptr;
    bool bListed = false;
    if (SUCCEEDED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                     reinterpret_cast<void**>(&pFactory))) &&
        SUCCEEDED(pFactory->CreateComponentEnumerator(WICDecoder, WICComponentEnumerateDefault, &pEnum))) {
        IUnknown* pUnknown = nullptr;
        ULONG nGot = 0;
        while (pEnum->Next(1, &pUnknown, &nGot) == S_OK && pUnknown) {
            IWICBitmapDecoderInfo* pInfo = nullptr;
            if (SUCCEEDED(pUnknown->QueryInterface(IID_IWICBitmapDecoderInfo, reinterpret_cast<void**>(&pInfo)))) {
                AddWicPatterns(pInfo, patterns);
                pInfo->Release();
            }
            pUnknown->Release();
            pUnknown = nullptr;
        }
        bListed = true;
    }
    if (pEnum)
        pEnum->Release();
    if (pFactory)
        pFactory->Release();
    if (SUCCEEDED(hrInit))
        ::CoUninitialize();
    return bListed;
}

std::shared_ptr<const DecoderSignatures> Gather()
{
    auto pGathered = std::make_shared<DecoderSignatures>();
    pGathered->bGdiplus = ListGdiplusDecoders(pGathered->patterns);
    pGathered->bWic = ListWicDecoders(pGathered->patterns);
    pGathered->span = SignatureBytesNeeded(pGathered->patterns);
    return pGathered;
}

}  // namespace

// Held while gathering, so the lists are read once however many threads ask at the start.
std::shared_ptr<const DecoderSignatures> KnownDecoderSignatures()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_pKnown)
        return g_pKnown;
    std::shared_ptr<const DecoderSignatures> pGathered;
    try {
        pGathered = Gather();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    if (pGathered->bGdiplus && pGathered->bWic)
        g_pKnown = pGathered;
    return pGathered;
}

bool SomeDecoderClaims(const DecoderSignatures& signatures, uint64_t nFileSize, const uint8_t* pHead, size_t nHead,
                       const uint8_t* pTail, size_t nTail)
{
    if (!signatures.bGdiplus && !signatures.bWic)
        return true;
    return MatchesAnySignature(signatures.patterns, nFileSize, pHead, nHead, pTail, nTail);
}
