// A wide-character string with the operations the dialogs use (formatting, slicing, searching,
// a writable buffer for Win32 calls that fill text).
#ifndef MORVANE_AFX_STRING_H
#define MORVANE_AFX_STRING_H

#include <windows.h>
#include <cstdarg>
#include <string>

class CString {
public:
    CString() = default;
    CString(const wchar_t* text) : m_text(text ? text : L"") { }
    CString(const wchar_t* text, int length) : m_text(text ? text : L"", text && length > 0 ? length : 0) { }
    CString(wchar_t ch, int repeat = 1) : m_text(repeat > 0 ? repeat : 0, ch) { }
    CString(const std::wstring& text) : m_text(text) { }

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    operator const wchar_t*() const { return m_text.c_str(); }
    const wchar_t* GetString() const { return m_text.c_str(); }
    const std::wstring& Str() const { return m_text; }

    wchar_t GetAt(int index) const;  // 0 for an index outside the text
    wchar_t operator[](int index) const { return GetAt(index); }
    void SetAt(int index, wchar_t ch);  // ignored outside the text

    CString& operator=(const wchar_t* text)
    {
        m_text = text ? text : L"";
        return *this;
    }
    CString& operator+=(const CString& s)
    {
        m_text += s.m_text;
        return *this;
    }
    CString& operator+=(const wchar_t* s)
    {
        if (s)
            m_text += s;
        return *this;
    }
    CString& operator+=(wchar_t ch)
    {
        m_text += ch;
        return *this;
    }
    friend CString operator+(const CString& a, const CString& b) { return CString(a.m_text + b.m_text); }
    friend CString operator+(const CString& a, const wchar_t* b)
    {
        CString r(a);
        r += b;
        return r;
    }
    friend CString operator+(const wchar_t* a, const CString& b)
    {
        CString r(a);
        r += b;
        return r;
    }
    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator==(const CString& a, const wchar_t* b) { return a.m_text == (b ? b : L""); }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, const wchar_t* b) { return !(a == b); }
    friend bool operator<(const CString& a, const CString& b) { return a.m_text < b.m_text; }

    int Compare(const wchar_t* other) const;  // ordinal, <0, 0, >0
    int CompareNoCase(const wchar_t* other) const;  // by the system's case-insensitive ordering

    // printf-style formatting with the Windows wide conventions: %s takes a wide string.
    void Format(const wchar_t* format, ...);
    void FormatV(const wchar_t* format, va_list args);
    void AppendFormat(const wchar_t* format, ...);

    int Find(wchar_t ch, int start = 0) const;
    int Find(const wchar_t* sub, int start = 0) const;
    int ReverseFind(wchar_t ch) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Left(int count) const;
    CString Right(int count) const;
    CString& Trim();
    CString& MakeLower();
    CString& MakeUpper();
    int Replace(wchar_t from, wchar_t to);

    // A writable buffer of at least minLength characters plus the terminator; ReleaseBuffer
    // takes the text up to the first zero (or newLength characters when it is not -1).
    wchar_t* GetBuffer(int minLength = 0);
    wchar_t* GetBufferSetLength(int length);
    void ReleaseBuffer(int newLength = -1);

    // Loads a string resource of the program; FALSE (and an empty string) when there is none.
    BOOL LoadString(UINT id);

private:
    std::wstring m_text;
};

#endif
