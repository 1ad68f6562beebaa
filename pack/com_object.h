// The small COM frame of the pack: how an instance of a class is counted, queried, aggregated
// and created. A class T of the pack derives from its one interface and from CObjectRoot and
// provides:
//   static const IID& InterfaceId();     the interface it answers besides IUnknown
//   HRESULT FinalConstruct();            runs after construction; a failure destroys it
// Instances use plain (not interlocked) reference counts: one instance's AddRef and Release
// must not run on two threads at once.
#ifndef MORVANE_PACK_COM_OBJECT_H
#define MORVANE_PACK_COM_OBJECT_H

#include <new>

#include <windows.h>
#include <unknwn.h>

#include "com_module.h"

// Holds one module lock for the lifetime of every instance.
class CObjectRoot {
public:
    CObjectRoot() { OstrelModule().Lock(); }
    ~CObjectRoot() { OstrelModule().Unlock(); }
    CObjectRoot(const CObjectRoot&) = delete;
    CObjectRoot& operator=(const CObjectRoot&) = delete;

    HRESULT FinalConstruct() { return S_OK; }
};

// The interface table of a class: IUnknown and its own interface, both the same pointer.
// The answer is counted through the object's IUnknown, which an aggregated instance forwards
// to its outer object.
template <class T> HRESULT InternalQueryInterface(T* pThis, REFIID iid, void** ppv, bool bAnswerUnknown)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (IsEqualIID(iid, T::InterfaceId()) || (bAnswerUnknown && IsEqualIID(iid, IID_IUnknown))) {
        *ppv = static_cast<typename T::Interface*>(pThis);
        pThis->AddRef();
        return S_OK;
    }
    return E_NOINTERFACE;
}

// A stand-alone instance.
template <class T> class CPlainObject final : public T {
public:
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_cRef; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG n = --m_cRef;
        if (n == 0)
            delete this;
        return n;
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override
    {
        return InternalQueryInterface<T>(this, iid, ppv, true);
    }

    static HRESULT Create(REFIID iid, void** ppv)
    {
        CPlainObject* p = new (std::nothrow) CPlainObject();
        if (!p)
            return E_OUTOFMEMORY;
        HRESULT hr = p->FinalConstruct();
        if (SUCCEEDED(hr))
            hr = p->QueryInterface(iid, ppv);
        if (FAILED(hr))
            delete p;
        return hr;
    }

private:
    ULONG m_cRef = 0;
};

// The inner part of an aggregated instance: its IUnknown methods belong to the outer object.
template <class T> class CContainedObject final : public T {
public:
    explicit CContainedObject(IUnknown* pOuter) : m_pOuter(pOuter) { }
    ULONG STDMETHODCALLTYPE AddRef() override { return m_pOuter->AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return m_pOuter->Release(); }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override
    {
        return m_pOuter->QueryInterface(iid, ppv);
    }

private:
    IUnknown* m_pOuter;  // not counted: the outer object owns this one
};

// An aggregated instance. The object itself is the non-delegating IUnknown that the outer
// object keeps; it answers IUnknown with itself and the class's interface with the contained
// part, whose counting goes to the outer object.
template <class T> class CAggObject final : public IUnknown {
public:
    explicit CAggObject(IUnknown* pOuter) : m_contained(pOuter) { }

    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_cRef; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG n = --m_cRef;
        if (n == 0)
            delete this;
        return n;
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown)) {
            *ppv = static_cast<IUnknown*>(this);
            AddRef();
            return S_OK;
        }
        return InternalQueryInterface<T>(&m_contained, iid, ppv, false);
    }

    static HRESULT Create(IUnknown* pOuter, REFIID iid, void** ppv)
    {
        CAggObject* p = new (std::nothrow) CAggObject(pOuter);
        if (!p)
            return E_OUTOFMEMORY;
        HRESULT hr = p->m_contained.FinalConstruct();
        if (SUCCEEDED(hr))
            hr = p->QueryInterface(iid, ppv);
        if (FAILED(hr))
            delete p;
        return hr;
    }

private:
    ULONG m_cRef = 0;
    CContainedObject<T> m_contained;
};

#endif
