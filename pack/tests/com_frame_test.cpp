// The pack's COM frame driven in-process: class objects, instances, aggregation, module locks
// and the registration entry points.
#include <gtest/gtest.h>

#include <windows.h>

#include "com_module.h"
#include "ostrel.h"
#include "registration.h"
#include "test_paths.h"

namespace {

const CLSID kUnknownClass = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};

IClassFactory* ClassObject(REFCLSID clsid)
{
    IClassFactory* factory = nullptr;
    EXPECT_EQ(S_OK, OstrelModule().GetClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
    return factory;
}

// An outer object that counts the references its inner object forwards to it.
class CountingOuter : public IUnknown {
public:
    ULONG refs = 1;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** ppv) override
    {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
};

class ComFrameTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(0, OstrelModule().LockCount()); }
    void TearDown() override { EXPECT_EQ(0, OstrelModule().LockCount()) << "a lock was leaked"; }
};

TEST_F(ComFrameTest, ClassObjectIsCachedAndHoldsALockWhileReferenced)
{
    IClassFactory* first = ClassObject(CLSID_ResMgr);
    IClassFactory* second = ClassObject(CLSID_ResMgr);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(first, second);
    EXPECT_EQ(1, OstrelModule().LockCount());  // one lock, however many outside references
    second->Release();
    EXPECT_EQ(1, OstrelModule().LockCount());
    first->Release();
    EXPECT_EQ(0, OstrelModule().LockCount());

    IClassFactory* other = ClassObject(CLSID_KernelData);
    EXPECT_NE(first, other);
    other->Release();
}

TEST_F(ComFrameTest, UnknownClassIsNotAvailable)
{
    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, OstrelModule().GetClassObject(kUnknownClass, IID_IClassFactory, &p));
    EXPECT_EQ(nullptr, p);
}

TEST_F(ComFrameTest, InstanceHoldsOneModuleLockUntilItsLastRelease)
{
    IClassFactory* factory = ClassObject(CLSID_KernelData);
    qrn_IKernelData* data = nullptr;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_qrn_IKernelData, reinterpret_cast<void**>(&data)));
    factory->Release();
    EXPECT_EQ(1, OstrelModule().LockCount());
    data->AddRef();
    EXPECT_EQ(1u, data->Release());
    EXPECT_EQ(1, OstrelModule().LockCount());
    EXPECT_EQ(0u, data->Release());
}

TEST_F(ComFrameTest, CreateInstanceRejectsBadRequests)
{
    IClassFactory* factory = ClassObject(CLSID_ResMgr);
    CountingOuter outer;
    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_POINTER, factory->CreateInstance(nullptr, IID_qrn_IResMgr, nullptr));
    EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(&outer, IID_qrn_IResMgr, &p));
    EXPECT_EQ(nullptr, p);
    p = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, factory->CreateInstance(nullptr, IID_qrn_IKernelData, &p));
    EXPECT_EQ(nullptr, p);
    EXPECT_EQ(1u, outer.refs);
    factory->Release();
}

TEST_F(ComFrameTest, ResourceManagerDoesNotAnswerTheKernelDataInterface)
{
    IClassFactory* factory = ClassObject(CLSID_ResMgr);
    IUnknown* unknown = nullptr;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&unknown)));
    factory->Release();
    void* other = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, unknown->QueryInterface(IID_qrn_IKernelData, &other));
    EXPECT_EQ(nullptr, other);
    qrn_IResMgr* mgr = nullptr;
    ASSERT_EQ(S_OK, unknown->QueryInterface(IID_qrn_IResMgr, reinterpret_cast<void**>(&mgr)));
    EXPECT_EQ(static_cast<IUnknown*>(mgr), unknown);  // one identity
    mgr->Release();
    unknown->Release();
}

TEST_F(ComFrameTest, AggregatedInstanceCountsThroughItsOuterObject)
{
    IClassFactory* factory = ClassObject(CLSID_ResMgr);
    CountingOuter outer;
    IUnknown* inner = nullptr;
    ASSERT_EQ(S_OK, factory->CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(&inner)));
    factory->Release();
    ASSERT_NE(nullptr, inner);
    EXPECT_NE(static_cast<IUnknown*>(&outer), inner);
    EXPECT_EQ(1, OstrelModule().LockCount());

    // The inner unknown answers IUnknown with itself, counted on its own.
    IUnknown* again = nullptr;
    ASSERT_EQ(S_OK, inner->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&again)));
    EXPECT_EQ(inner, again);
    EXPECT_EQ(1u, again->Release());

    // Its interface is counted by the outer object, and its IUnknown methods go there too.
    qrn_IResMgr* mgr = nullptr;
    ASSERT_EQ(S_OK, inner->QueryInterface(IID_qrn_IResMgr, reinterpret_cast<void**>(&mgr)));
    EXPECT_EQ(2u, outer.refs);
    void* viaOuter = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, mgr->QueryInterface(IID_qrn_IResMgr, &viaOuter));  // the outer says no
    mgr->Release();
    EXPECT_EQ(1u, outer.refs);
    EXPECT_EQ(0u, inner->Release());
}

TEST_F(ComFrameTest, LockServerTakesAndReleasesAModuleLock)
{
    IClassFactory* factory = ClassObject(CLSID_KernelData);
    EXPECT_EQ(S_OK, factory->LockServer(TRUE));
    EXPECT_EQ(2, OstrelModule().LockCount());
    EXPECT_EQ(S_OK, factory->LockServer(FALSE));
    EXPECT_EQ(1, OstrelModule().LockCount());
    factory->Release();
}

TEST(PerUserCommandLine, OnlyTheWordUserInAnyCase)
{
    struct Case {
        const wchar_t* cmdLine;
        bool perUser;
    } const cases[] = {
        {L"user", true}, {L"USER", true}, {L"uSeR", true},  {L"users", false}, {L"USERX", false},
        {L"use", false}, {L"", false},    {nullptr, false}, {L" user", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.perUser, IsPerUserCommandLine(c.cmdLine)) << (c.cmdLine ? Narrow(c.cmdLine) : "(null)");
}

// The test program carries no registry scripts either: registration stops at its first step.
TEST(Registration, FailsWithoutScriptsAndRestoresTheThreadLocale)
{
    OstrelModule().SetInstance(GetModuleHandleW(nullptr));
    const LCID before = MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT);
    const LCID saved = GetThreadLocale();
    SetThreadLocale(before);
    const HRESULT noScript = RegisterServer();  // the lookup's own error, passed on unchanged
    EXPECT_TRUE(FAILED(noScript));
    EXPECT_EQ(before, GetThreadLocale());
    EXPECT_EQ(noScript, UnregisterServer());
    EXPECT_EQ(before, GetThreadLocale());

    EXPECT_FALSE(OstrelModule().PerUserRegistration());
    EXPECT_EQ(noScript, InstallServer(TRUE, L"USERS"));
    EXPECT_FALSE(OstrelModule().PerUserRegistration());
    EXPECT_EQ(noScript, InstallServer(TRUE, L"USER"));
    EXPECT_TRUE(OstrelModule().PerUserRegistration());
    EXPECT_EQ(before, GetThreadLocale());

    OstrelModule().SetPerUserRegistration(false);
    OstrelModule().SetInstance(nullptr);
    SetThreadLocale(saved);
}

}  // namespace
