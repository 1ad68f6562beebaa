// Run-time class records and the root of the class layer.
#ifndef MORVANE_AFX_OBJECT_H
#define MORVANE_AFX_OBJECT_H

#include <windows.h>

struct CRuntimeClass {
    const char* m_lpszClassName;
    int m_nObjectSize;
    const CRuntimeClass* m_pBaseClass;

    BOOL IsDerivedFrom(const CRuntimeClass* base) const;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name)                                                                                    \
public:                                                                                                                \
    static const CRuntimeClass class##class_name;                                                                      \
    const CRuntimeClass* GetRuntimeClass() const override;

#define IMPLEMENT_DYNAMIC(class_name, base_class_name)                                                                 \
    const CRuntimeClass class_name::class##class_name = {#class_name, static_cast<int>(sizeof(class_name)),            \
                                                         RUNTIME_CLASS(base_class_name)};                              \
    const CRuntimeClass* class_name::GetRuntimeClass() const                                                           \
    {                                                                                                                  \
        return RUNTIME_CLASS(class_name);                                                                              \
    }

class CObject {
public:
    static const CRuntimeClass classCObject;
    virtual const CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject() = default;

    BOOL IsKindOf(const CRuntimeClass* cls) const;

protected:
    CObject() = default;

private:
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
};

#endif
