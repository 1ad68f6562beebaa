// The system's open-file dialog with multiple selection and iteration over the chosen paths.
#ifndef MORVANE_AFX_FILEDLG_H
#define MORVANE_AFX_FILEDLG_H

#include <windows.h>
#include <commdlg.h>

#include "afx_dialog.h"

typedef struct AfxPosition* POSITION;

class CFileDialog : public CDialog {
    DECLARE_DYNAMIC(CFileDialog)
public:
    // The filter uses '|' between its parts ("PDF (*.pdf)|*.pdf|All (*.*)|*.*||"). The Vista-style
    // flag is accepted for callers' sake; the system chooses the look of the dialog.
    explicit CFileDialog(BOOL openFileDialog, const wchar_t* defaultExt = nullptr, const wchar_t* fileName = nullptr,
                         DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const wchar_t* filter = nullptr,
                         CWnd* parent = nullptr, DWORD size = 0, BOOL vistaStyle = TRUE);

    OPENFILENAMEW m_ofn{};  // callers may point lpstrFile/nMaxFile at their own buffer

    INT_PTR DoModal() override;  // IDOK or IDCANCEL

    // Iterates over the selected paths: one full path per call, in the order the dialog gave them.
    POSITION GetStartPosition() const;
    CString GetNextPathName(POSITION& pos) const;
    CString GetPathName() const;

private:
    BOOL m_bOpenFileDialog;
    wchar_t m_szFileName[MAX_PATH] = {};
    CString m_strFilter;
    CString m_strDefExt;
};

#endif
