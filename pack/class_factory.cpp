#include "class_factory.h"

HRESULT STDMETHODCALLTYPE CClassFactory::QueryInterface(REFIID iid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
        *ppv = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CClassFactory::AddRef()
{
    const LONG n = InterlockedIncrement(&m_cRef);
    if (n == 2)
        OstrelModule().Lock();  // the first reference from outside the cache
    return static_cast<ULONG>(n);
}

ULONG STDMETHODCALLTYPE CClassFactory::Release()
{
    const LONG n = InterlockedDecrement(&m_cRef);
    if (n == 1)
        OstrelModule().Unlock();  // back to the cache's own reference
    else if (n == 0)
        delete this;
    return static_cast<ULONG>(n);
}

HRESULT STDMETHODCALLTYPE CClassFactory::CreateInstance(IUnknown* pOuter, REFIID iid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (pOuter && !IsEqualIID(iid, IID_IUnknown))
        return CLASS_E_NOAGGREGATION;
    return pOuter ? m_entry.pfnCreateAggregated(pOuter, iid, ppv) : m_entry.pfnCreatePlain(iid, ppv);
}

HRESULT STDMETHODCALLTYPE CClassFactory::LockServer(BOOL fLock)
{
    if (fLock)
        OstrelModule().Lock();
    else
        OstrelModule().Unlock();
    return S_OK;
}
