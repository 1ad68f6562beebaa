// Builds a dialog template in memory, so tests and the gallery need no resource script.
#ifndef MORVANE_AFX_TESTS_DIALOG_TEMPLATE_H
#define MORVANE_AFX_TESTS_DIALOG_TEMPLATE_H

#include <windows.h>

#include <cwchar>
#include <vector>

class DialogTemplate {
public:
    // Dialog units; a template with DS_SETFONT gets "MS Shell Dlg" 8.
    DialogTemplate(DWORD style, short x, short y, short cx, short cy, const wchar_t* title = L"")
    {
        style |= DS_SETFONT;
        PutDword(style);
        PutDword(0);
        m_countAt = m_words.size();
        PutWord(0);
        PutWord(static_cast<WORD>(x));
        PutWord(static_cast<WORD>(y));
        PutWord(static_cast<WORD>(cx));
        PutWord(static_cast<WORD>(cy));
        PutWord(0);  // no menu
        PutWord(0);  // the standard dialog class
        PutString(title);
        PutWord(8);
        PutString(L"MS Shell Dlg");
    }

    DialogTemplate& Add(const wchar_t* className, const wchar_t* text, WORD id, DWORD style, short x, short y, short cx,
                        short cy, DWORD exStyle = 0)
    {
        if (m_words.size() % 2)
            PutWord(0);  // items start on a DWORD boundary
        PutDword(style | WS_CHILD | WS_VISIBLE);
        PutDword(exStyle);
        PutWord(static_cast<WORD>(x));
        PutWord(static_cast<WORD>(y));
        PutWord(static_cast<WORD>(cx));
        PutWord(static_cast<WORD>(cy));
        PutWord(id);
        PutString(className);
        PutString(text);
        PutWord(0);  // no creation data
        ++m_words[m_countAt];
        return *this;
    }

    LPCDLGTEMPLATEW Get() const { return reinterpret_cast<LPCDLGTEMPLATEW>(m_words.data()); }

private:
    void PutWord(WORD w) { m_words.push_back(w); }
    void PutDword(DWORD d)
    {
        PutWord(LOWORD(d));
        PutWord(HIWORD(d));
    }
    void PutString(const wchar_t* s)
    {
        for (; s && *s; ++s)
            PutWord(static_cast<WORD>(*s));
        PutWord(0);
    }

    std::vector<WORD> m_words;
    size_t m_countAt = 0;
};

#endif
