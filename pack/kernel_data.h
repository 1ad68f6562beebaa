// CKernelData: hands out the pack's 256-byte block of product constants.
#ifndef MORVANE_PACK_KERNEL_DATA_H
#define MORVANE_PACK_KERNEL_DATA_H

#include "com_object.h"
#include "ostrel.h"

// Product constants of this release.
enum {
    OSTREL_APP_ID = 9003,
    OSTREL_APP_VERSION = 0x00010001  // 1.1
};

// Writes the kernel-data block: the head with the constants above, zeros up to 256 bytes.
void FillKernelBlock(unsigned char (&block)[OSTREL_KERNEL_DATA_BYTES]);

class CKernelData : public qrn_IKernelData, public CObjectRoot {
public:
    typedef qrn_IKernelData Interface;
    static const IID& InterfaceId() { return IID_qrn_IKernelData; }

    HRESULT FinalConstruct();

    HRESULT STDMETHODCALLTYPE QueryKernelData(_stKernelHead* pKernelData) override;
    HRESULT STDMETHODCALLTYPE QueryDataSize(LONG* pDataSize) override;

private:
    unsigned char m_block[OSTREL_KERNEL_DATA_BYTES] = {};
};

#endif
