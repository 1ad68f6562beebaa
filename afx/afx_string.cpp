#include "afx_string.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

#include "afx_app.h"

wchar_t CString::GetAt(int index) const
{
    return index >= 0 && index < GetLength() ? m_text[static_cast<size_t>(index)] : L'\0';
}

void CString::SetAt(int index, wchar_t ch)
{
    if (index >= 0 && index < GetLength())
        m_text[static_cast<size_t>(index)] = ch;
}

int CString::Compare(const wchar_t* other) const
{
    return m_text.compare(other ? other : L"");
}

int CString::CompareNoCase(const wchar_t* other) const
{
    return ::lstrcmpiW(m_text.c_str(), other ? other : L"");
}

void CString::FormatV(const wchar_t* format, va_list args)
{
    m_text.clear();
    if (!format)
        return;
    va_list probe;
    va_copy(probe, args);
    // The system run-time's formatter: %s means a wide string in wide formats, as Windows code expects.
    const int length = _vscwprintf(format, probe);
    va_end(probe);
    if (length <= 0)
        return;
    std::wstring out(static_cast<size_t>(length) + 1, L'\0');
    const int written = _vsnwprintf(&out[0], out.size(), format, args);
    out.resize(written >= 0 ? static_cast<size_t>(written) : 0);
    m_text.swap(out);
}

void CString::Format(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::AppendFormat(const wchar_t* format, ...)
{
    CString tail;
    va_list args;
    va_start(args, format);
    tail.FormatV(format, args);
    va_end(args);
    m_text += tail.m_text;
}

int CString::Find(wchar_t ch, int start) const
{
    if (start < 0 || start >= GetLength())
        return -1;
    const size_t at = m_text.find(ch, static_cast<size_t>(start));
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int CString::Find(const wchar_t* sub, int start) const
{
    if (!sub || start < 0 || start > GetLength())
        return -1;
    const size_t at = m_text.find(sub, static_cast<size_t>(start));
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(wchar_t ch) const
{
    const size_t at = m_text.rfind(ch);
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

CString CString::Mid(int first) const
{
    return Mid(first, GetLength());
}

CString CString::Mid(int first, int count) const
{
    if (first < 0)
        first = 0;
    if (count < 0)
        count = 0;
    if (first >= GetLength())
        return CString();
    return CString(m_text.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

CString CString::Left(int count) const
{
    return Mid(0, count);
}

CString CString::Right(int count) const
{
    if (count <= 0)
        return CString();
    if (count >= GetLength())
        return *this;
    return Mid(GetLength() - count);
}

CString& CString::Trim()
{
    const wchar_t* blanks = L" \t\r\n";
    const size_t first = m_text.find_first_not_of(blanks);
    if (first == std::wstring::npos) {
        m_text.clear();
        return *this;
    }
    const size_t last = m_text.find_last_not_of(blanks);
    m_text = m_text.substr(first, last - first + 1);
    return *this;
}

CString& CString::MakeLower()
{
    if (!m_text.empty())
        ::CharLowerBuffW(&m_text[0], static_cast<DWORD>(m_text.size()));
    return *this;
}

CString& CString::MakeUpper()
{
    if (!m_text.empty())
        ::CharUpperBuffW(&m_text[0], static_cast<DWORD>(m_text.size()));
    return *this;
}

int CString::Replace(wchar_t from, wchar_t to)
{
    int count = 0;
    for (wchar_t& c : m_text) {
        if (c == from) {
            c = to;
            ++count;
        }
    }
    return count;
}

wchar_t* CString::GetBuffer(int minLength)
{
    if (minLength > GetLength())
        m_text.resize(static_cast<size_t>(minLength));
    // One more element so that callers may write the terminator at [minLength].
    m_text.reserve(m_text.size() + 1);
    return &m_text[0];
}

wchar_t* CString::GetBufferSetLength(int length)
{
    m_text.resize(length > 0 ? static_cast<size_t>(length) : 0);
    return GetBuffer(length);
}

void CString::ReleaseBuffer(int newLength)
{
    if (newLength < 0) {
        const size_t zero = m_text.find(L'\0');
        if (zero != std::wstring::npos)
            m_text.resize(zero);
    } else if (static_cast<size_t>(newLength) <= m_text.size()) {
        m_text.resize(static_cast<size_t>(newLength));
    }
}

BOOL CString::LoadString(UINT id)
{
    m_text.clear();
    const wchar_t* resource = nullptr;
    // With a zero buffer size LoadStringW returns a read-only pointer to the resource text.
    const int length = ::LoadStringW(AfxGetResourceHandle(), id, reinterpret_cast<LPWSTR>(&resource), 0);
    if (length <= 0 || !resource)
        return FALSE;
    m_text.assign(resource, static_cast<size_t>(length));
    return TRUE;
}
