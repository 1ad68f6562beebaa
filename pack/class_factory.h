// The class object of one object-map entry. Its reference count is interlocked; the module
// keeps one reference in its cache, and any reference beyond that one holds a module lock.
#ifndef MORVANE_PACK_CLASS_FACTORY_H
#define MORVANE_PACK_CLASS_FACTORY_H

#include <windows.h>
#include <unknwn.h>

#include "com_module.h"

class CClassFactory final : public IClassFactory {
public:
    // Starts with the cache's own reference.
    explicit CClassFactory(const OstrelObjectEntry& entry) : m_entry(entry) { }
    CClassFactory(const CClassFactory&) = delete;
    CClassFactory& operator=(const CClassFactory&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // E_POINTER for a null ppv; CLASS_E_NOAGGREGATION when pOuter asks for anything but
    // IUnknown; otherwise a plain or an aggregated instance.
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pOuter, REFIID iid, void** ppv) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL fLock) override;

private:
    ~CClassFactory() = default;

    volatile LONG m_cRef = 1;
    const OstrelObjectEntry& m_entry;
};

#endif
