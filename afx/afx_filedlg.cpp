#include "afx_filedlg.h"

#include "afx_app.h"
#include "seams.h"

IMPLEMENT_DYNAMIC(CFileDialog, CDialog)

CFileDialog::CFileDialog(BOOL openFileDialog, const wchar_t* defaultExt, const wchar_t* fileName, DWORD flags,
                         const wchar_t* filter, CWnd* parent, DWORD size, BOOL)
    : m_bOpenFileDialog(openFileDialog)
{
    m_pParentWnd = parent;
    m_ofn.lStructSize = size && size <= sizeof(OPENFILENAMEW) ? size : sizeof(OPENFILENAMEW);
    m_ofn.Flags = flags | OFN_EXPLORER;
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = MAX_PATH;
    if (fileName)
        ::lstrcpynW(m_szFileName, fileName, MAX_PATH);
    if (defaultExt) {
        m_strDefExt = defaultExt;
        m_ofn.lpstrDefExt = m_strDefExt;
    }
    if (filter) {
        // The system wants the parts separated by zeros and the list ended by two.
        m_strFilter = filter;
        m_strFilter.Replace(L'|', L'\0');
        m_strFilter += L'\0';
        m_ofn.lpstrFilter = m_strFilter;
    }
}

INT_PTR CFileDialog::DoModal()
{
    CWnd* owner = GetSafeOwner(m_pParentWnd);
    m_ofn.hwndOwner = owner ? owner->m_hWnd : nullptr;
    m_ofn.hInstance = AfxGetInstanceHandle();
    const BOOL ok = m_bOpenFileDialog ? g_pfnAfxGetOpenFileName(&m_ofn) : ::GetSaveFileNameW(&m_ofn);
    return ok ? IDOK : IDCANCEL;
}

POSITION CFileDialog::GetStartPosition() const
{
    if (!m_ofn.lpstrFile || m_ofn.nMaxFile == 0 || m_ofn.lpstrFile[0] == L'\0')
        return nullptr;
    return reinterpret_cast<POSITION>(m_ofn.lpstrFile);
}

// The buffer holds either one full path ("C:\dir\a.pdf\0\0") or, for several files, the folder
// followed by the names ("C:\dir\0a.pdf\0b.pdf\0\0"). Nothing past nMaxFile characters is read.
CString CFileDialog::GetNextPathName(POSITION& pos) const
{
    const wchar_t* begin = m_ofn.lpstrFile;
    const wchar_t* end = begin ? begin + m_ofn.nMaxFile : nullptr;
    const wchar_t* at = reinterpret_cast<const wchar_t*>(pos);
    pos = nullptr;
    if (!begin || !at || at < begin || at >= end)
        return CString();

    auto lengthFrom = [end](const wchar_t* p) {
        const wchar_t* q = p;
        while (q < end && *q)
            ++q;
        return static_cast<int>(q - p);
    };
    const int folderLength = lengthFrom(begin);
    if (at == begin) {
        const wchar_t* first = begin + folderLength + 1;
        if (!(m_ofn.Flags & OFN_ALLOWMULTISELECT) || first >= end || *first == L'\0') {
            return CString(begin, folderLength);  // a single full path
        }
        at = first;
    }
    const int nameLength = lengthFrom(at);
    const wchar_t* next = at + nameLength + 1;
    if (next < end && *next)
        pos = reinterpret_cast<POSITION>(const_cast<wchar_t*>(next));

    CString name(at, nameLength);
    // A name may be a full path of its own (another drive or a UNC path).
    if ((nameLength >= 2 && at[1] == L':') || (nameLength >= 2 && at[0] == L'\\' && at[1] == L'\\'))
        return name;
    CString path(begin, folderLength);
    if (!path.IsEmpty() && path[path.GetLength() - 1] != L'\\')
        path += L'\\';
    return path + name;
}

CString CFileDialog::GetPathName() const
{
    POSITION pos = GetStartPosition();
    return pos ? GetNextPathName(pos) : CString();
}
