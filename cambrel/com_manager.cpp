// The binding table of Cambrel: class id -> loaded server file and the class object it gave.
#include "cambrel.h"

#include <new>
#include <vector>

namespace {

typedef HRESULT(STDAPICALLTYPE* GetClassObjectFn)(REFCLSID, REFIID, void**);
typedef HRESULT(STDAPICALLTYPE* CanUnloadNowFn)();

struct Binding {
    CLSID clsid;
    HMODULE module;  // one LoadLibrary reference per binding
    IClassFactory* factory;  // one reference per binding
};

SRWLOCK g_lock = SRWLOCK_INIT;
LONG g_initCount = 0;
std::vector<Binding>* g_bindings = nullptr;  // null outside ComMgrInit .. ComMgrUninit
std::vector<HMODULE> g_deferred;  // server files whose unload waits for their last object

class LockGuard {
public:
    LockGuard() { AcquireSRWLockExclusive(&g_lock); }
    ~LockGuard() { ReleaseSRWLockExclusive(&g_lock); }
    LockGuard(const LockGuard&) = delete;
    LockGuard& operator=(const LockGuard&) = delete;
};

HRESULT LastErrorResult()
{
    const DWORD error = GetLastError();
    return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

bool ServerCanUnload(HMODULE module)
{
    CanUnloadNowFn canUnload =
        reinterpret_cast<CanUnloadNowFn>(reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
    return !canUnload || canUnload() == S_OK;
}

// Frees the deferred server files that have no objects left. Runs without the lock held:
// DllCanUnloadNow runs server code. A file that is still busy goes back on the list.
void FreeIdleServers()
{
    std::vector<HMODULE> pending;
    {
        LockGuard guard;
        pending.swap(g_deferred);
    }
    for (HMODULE module : pending) {
        if (ServerCanUnload(module)) {
            FreeLibrary(module);
            continue;
        }
        LockGuard guard;
        try {
            g_deferred.push_back(module);
        } catch (const std::bad_alloc&) {
            // Forgotten, so the file stays loaded for good: a leak, never a dangling object.
        }
    }
}

// Releases the bindings' class objects first, then their references on the server files.
// A file is unloaded only when the server agrees it can be (no objects, no locks left), so an
// object that outlives its binding keeps working; its file is retried at every later drop.
void DropBindings(const Binding* gone, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        gone[i].factory->Release();
    {
        LockGuard guard;
        for (size_t i = 0; i < count; ++i) {
            try {
                g_deferred.push_back(gone[i].module);
            } catch (const std::bad_alloc&) {
                // as above: stays loaded
            }
        }
    }
    FreeIdleServers();
}

void DropBinding(const Binding& b)
{
    DropBindings(&b, 1);
}

Binding* FindBinding(REFCLSID clsid)
{
    if (!g_bindings)
        return nullptr;
    for (Binding& b : *g_bindings)
        if (IsEqualCLSID(b.clsid, clsid))
            return &b;
    return nullptr;
}

}  // namespace

CAMBREL_API HRESULT WINAPI ComMgrInit()
{
    LockGuard guard;
    if (!g_bindings) {
        g_bindings = new (std::nothrow) std::vector<Binding>();
        if (!g_bindings)
            return E_OUTOFMEMORY;
    }
    ++g_initCount;
    return S_OK;
}

CAMBREL_API HRESULT WINAPI ComRegSvr(const wchar_t* path, REFCLSID clsid)
{
    if (!path || !*path)
        return E_INVALIDARG;
    {
        LockGuard guard;
        if (!g_bindings)
            return E_UNEXPECTED;
    }

    // Load and ask the server outside the lock: its DllMain and class objects may call back.
    HMODULE module = LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module)
        return LastErrorResult();
    GetClassObjectFn getClassObject =
        reinterpret_cast<GetClassObjectFn>(reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
    if (!getClassObject) {
        FreeLibrary(module);
        return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    }
    IClassFactory* factory = nullptr;
    HRESULT hr = getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(hr) || !factory) {
        FreeLibrary(module);
        return FAILED(hr) ? hr : E_NOINTERFACE;
    }

    Binding fresh = {clsid, module, factory};
    Binding replaced = {};
    bool hadOld = false;
    hr = S_OK;
    {
        LockGuard guard;
        Binding* old = FindBinding(clsid);
        if (old) {
            replaced = *old;
            hadOld = true;
            *old = fresh;
        } else if (!g_bindings) {
            hr = E_UNEXPECTED;  // the manager ended meanwhile
        } else {
            try {
                g_bindings->push_back(fresh);
            } catch (const std::bad_alloc&) {
                hr = E_OUTOFMEMORY;
            }
        }
    }
    if (FAILED(hr))
        DropBinding(fresh);
    if (hadOld)
        DropBinding(replaced);
    return hr;
}

CAMBREL_API HRESULT WINAPI ComCreateInst(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!(context & CLSCTX_INPROC_SERVER))
        return REGDB_E_CLASSNOTREG;
    IClassFactory* factory = nullptr;
    {
        LockGuard guard;
        if (!g_bindings)
            return E_UNEXPECTED;
        Binding* b = FindBinding(clsid);
        if (!b)
            return REGDB_E_CLASSNOTREG;
        factory = b->factory;
        factory->AddRef();
    }
    HRESULT hr = factory->CreateInstance(outer, iid, out);
    factory->Release();
    if (FAILED(hr))
        *out = nullptr;
    return hr;
}

CAMBREL_API HRESULT WINAPI ComUnregSvr(REFCLSID clsid)
{
    Binding gone = {};
    {
        LockGuard guard;
        if (!g_bindings)
            return E_UNEXPECTED;
        Binding* b = FindBinding(clsid);
        if (!b)
            return REGDB_E_CLASSNOTREG;
        gone = *b;
        g_bindings->erase(g_bindings->begin() + (b - g_bindings->data()));
    }
    DropBinding(gone);
    return S_OK;
}

CAMBREL_API HRESULT WINAPI ComMgrUninit()
{
    std::vector<Binding>* left = nullptr;
    {
        LockGuard guard;
        if (g_initCount == 0)
            return E_UNEXPECTED;
        if (--g_initCount > 0)
            return S_OK;
        left = g_bindings;
        g_bindings = nullptr;
    }
    if (left) {
        DropBindings(left->data(), left->size());
        delete left;
    }
    return S_OK;
}
