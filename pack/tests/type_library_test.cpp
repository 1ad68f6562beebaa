// The type library embedded in ostrel.dat, read back with LoadTypeLib from the pack's file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <windows.h>
#include <oleauto.h>

#include "ostrel.h"
#include "test_paths.h"

namespace {

class OstrelTypeLib : public testing::Test {
protected:
    void SetUp() override
    {
        const std::wstring path = Widen(TestBinFolder()) + L"ostrel.dat";
        ASSERT_EQ(S_OK, LoadTypeLib(path.c_str(), &m_lib));
    }
    void TearDown() override
    {
        if (m_lib)
            m_lib->Release();
    }

    // Name and help string of one member (-1: the library itself).
    static std::pair<std::wstring, std::wstring> Doc(ITypeInfo* info, MEMBERID id)
    {
        BSTR name = nullptr, help = nullptr;
        EXPECT_EQ(S_OK, info->GetDocumentation(id, &name, &help, nullptr, nullptr));
        std::pair<std::wstring, std::wstring> out(name ? name : L"", help ? help : L"");
        SysFreeString(name);
        SysFreeString(help);
        return out;
    }

    ITypeInfo* Info(REFGUID guid)
    {
        ITypeInfo* info = nullptr;
        EXPECT_EQ(S_OK, m_lib->GetTypeInfoOfGuid(guid, &info));
        return info;
    }

    ITypeLib* m_lib = nullptr;
};

TEST_F(OstrelTypeLib, LibraryIdentity)
{
    TLIBATTR* attr = nullptr;
    ASSERT_EQ(S_OK, m_lib->GetLibAttr(&attr));
    EXPECT_TRUE(IsEqualGUID(LIBID_OstrelLib, attr->guid));
    EXPECT_EQ(1, attr->wMajorVerNum);
    EXPECT_EQ(0, attr->wMinorVerNum);
    EXPECT_EQ(0x0409u, attr->lcid);
    m_lib->ReleaseTLibAttr(attr);
    BSTR name = nullptr, help = nullptr;
    ASSERT_EQ(S_OK, m_lib->GetDocumentation(-1, &name, &help, nullptr, nullptr));
    EXPECT_STREQ(L"OstrelLib", name);
    EXPECT_STREQ(L"Ostrel 1.0 Type Library", help);
    SysFreeString(name);
    SysFreeString(help);
}

TEST_F(OstrelTypeLib, CoclassesAreCreatableWithTheirDefaultInterfaces)
{
    struct Case {
        const GUID* clsid;
        const GUID* iid;
        const wchar_t* name;
        const wchar_t* help;
    } const cases[] = {
        {&CLSID_ResMgr, &IID_qrn_IResMgr, L"ResMgr", L"ResMgr Class"},
        {&CLSID_KernelData, &IID_qrn_IKernelData, L"KernelData", L"KernelData Class"},
    };
    for (const Case& c : cases) {
        ITypeInfo* info = Info(*c.clsid);
        ASSERT_NE(nullptr, info);
        TYPEATTR* attr = nullptr;
        ASSERT_EQ(S_OK, info->GetTypeAttr(&attr));
        EXPECT_EQ(TKIND_COCLASS, attr->typekind);
        EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FCANCREATE);
        ASSERT_EQ(1, attr->cImplTypes);
        info->ReleaseTypeAttr(attr);
        EXPECT_EQ(std::make_pair(std::wstring(c.name), std::wstring(c.help)), Doc(info, MEMBERID_NIL));

        INT flags = 0;
        EXPECT_EQ(S_OK, info->GetImplTypeFlags(0, &flags));
        EXPECT_TRUE(flags & IMPLTYPEFLAG_FDEFAULT);
        HREFTYPE ref = 0;
        ITypeInfo* iface = nullptr;
        ASSERT_EQ(S_OK, info->GetRefTypeOfImplType(0, &ref));
        ASSERT_EQ(S_OK, info->GetRefTypeInfo(ref, &iface));
        TYPEATTR* ifaceAttr = nullptr;
        ASSERT_EQ(S_OK, iface->GetTypeAttr(&ifaceAttr));
        EXPECT_TRUE(IsEqualGUID(*c.iid, ifaceAttr->guid));
        iface->ReleaseTypeAttr(ifaceAttr);
        iface->Release();
        info->Release();
    }
}

TEST_F(OstrelTypeLib, InterfacesListTheirMethodsInSlotOrder)
{
    struct Case {
        const GUID* iid;
        const wchar_t* name;
        std::vector<std::wstring> methods;
    } const cases[] = {
        {&IID_qrn_IResMgr,
         L"qrn_IResMgr",
         {L"Init", L"QueryTxt", L"QueryTxtInfo", L"QueryResById", L"QueryResPathById", L"LoadRes", L"FreeRes",
          L"GetBmpSizeById", L"GetBmpSize"}},
        {&IID_qrn_IKernelData, L"qrn_IKernelData", {L"QueryKernelData", L"QueryDataSize"}},
    };
    for (const Case& c : cases) {
        ITypeInfo* info = Info(*c.iid);
        ASSERT_NE(nullptr, info);
        TYPEATTR* attr = nullptr;
        ASSERT_EQ(S_OK, info->GetTypeAttr(&attr));
        EXPECT_EQ(TKIND_INTERFACE, attr->typekind) << "neither dual nor a dispatch interface";
        EXPECT_FALSE(attr->wTypeFlags & (TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION));
        ASSERT_EQ(c.methods.size(), static_cast<size_t>(attr->cFuncs));
        info->ReleaseTypeAttr(attr);
        EXPECT_EQ(std::wstring(c.name) + L" Interface", Doc(info, MEMBERID_NIL).second);

        for (UINT i = 0; i < c.methods.size(); ++i) {
            FUNCDESC* func = nullptr;
            ASSERT_EQ(S_OK, info->GetFuncDesc(i, &func));
            EXPECT_EQ(CC_STDCALL, func->callconv);
            EXPECT_EQ(VT_HRESULT, func->elemdescFunc.tdesc.vt);
            EXPECT_EQ(static_cast<SHORT>((3 + i) * sizeof(void*)), func->oVft) << "slot after IUnknown's three";
            const auto doc = Doc(info, func->memid);
            EXPECT_EQ(c.methods[i], doc.first);
            EXPECT_EQ(L"method " + c.methods[i], doc.second);
            info->ReleaseFuncDesc(func);
        }
        info->Release();
    }
}

TEST_F(OstrelTypeLib, RecordsWithTheirFields)
{
    struct Case {
        const wchar_t* name;
        WORD fields;
        ULONG bytes;
    } const cases[] = {
        {L"stResInfo", 3, 528},
        {L"_stKVerInfo", 10, 40},
        {L"_stKernelHead", 2, 44},
    };
    for (const Case& c : cases) {
        std::wstring name = c.name;
        ITypeInfo* info = nullptr;
        MEMBERID id = 0;
        USHORT found = 1;
        ASSERT_EQ(S_OK, m_lib->FindName(&name[0], 0, &info, &id, &found));
        ASSERT_EQ(1, found) << Narrow(name);
        TYPEATTR* attr = nullptr;
        ASSERT_EQ(S_OK, info->GetTypeAttr(&attr));
        EXPECT_EQ(TKIND_RECORD, attr->typekind) << Narrow(name);
        EXPECT_EQ(c.fields, attr->cVars) << Narrow(name);
        EXPECT_EQ(c.bytes, attr->cbSizeInstance) << Narrow(name);
        info->ReleaseTypeAttr(attr);
        info->Release();
    }
}

TEST(OstrelTypeLibResource, IsTypelibOneInUsEnglish)
{
    const std::wstring path = Widen(TestBinFolder()) + L"ostrel.dat";
    HMODULE pack = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, pack);
    EXPECT_NE(nullptr,
              FindResourceExW(pack, L"TYPELIB", MAKEINTRESOURCEW(1), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)));
    FreeLibrary(pack);
}

}  // namespace
