#include "kernel_data.h"

#include <string.h>

void FillKernelBlock(unsigned char (&block)[OSTREL_KERNEL_DATA_BYTES])
{
    memset(block, 0, sizeof(block));
    _stKernelHead head = {};
    head.dwDataSize = OSTREL_KERNEL_DATA_BYTES;
    head.stVerInfo.nAppId = OSTREL_APP_ID;
    head.stVerInfo.nAppType = 1;
    head.stVerInfo.nAppNo = 1;
    head.stVerInfo.nAppSrc = 0;
    head.stVerInfo.nAppVer = OSTREL_APP_VERSION;
    head.stVerInfo.nReserved = 1;
    memcpy(block, &head, sizeof(head));
}

HRESULT CKernelData::FinalConstruct()
{
    FillKernelBlock(m_block);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CKernelData::QueryKernelData(_stKernelHead* pKernelData)
{
    if (!pKernelData)
        return E_POINTER;
    memcpy(pKernelData, m_block, sizeof(m_block));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CKernelData::QueryDataSize(LONG* pDataSize)
{
    if (!pDataSize)
        return E_POINTER;
    *pDataSize = OSTREL_KERNEL_DATA_BYTES;
    return S_OK;
}
