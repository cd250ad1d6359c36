#pragma once
// Run-time class records: class name, object size, schema, creation function and base
// class, plus the registry that finds serialisable classes by name when an archive is read.

#include "mfc/export.h"
#include "win32/base.h"

class CObject;
class CArchive;

// A schema with this bit set accepts any stored schema; the object reads it back with
// CArchive::GetObjectSchema.
constexpr UINT VERSIONABLE_SCHEMA = 0x80000000u;

// Plain aggregate so that every class can define its record as a constant-initialised static
// and code may copy a record (the copy still creates objects of the class).
struct MFC_API CRuntimeClass {
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema; // 0xFFFF: not serialisable
    CObject* (*m_pfnCreateObject)();
    CRuntimeClass* m_pBaseClass;
    CRuntimeClass* m_pNextClass; // link of the registry; null for unregistered classes

    // A new object of the class, or null when the class cannot be created dynamically.
    CObject* CreateObject() const;
    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;

    // The registered (serialisable) class of that exact name, or null.
    static CRuntimeClass* FromName(LPCSTR lpszClassName);

    // Class description of an archive: WORD schema, WORD name length, name bytes.
    void Store(CArchive& ar) const;
    // Reads a class description and looks the class up; null for an unknown or overlong name.
    static CRuntimeClass* Load(CArchive& ar, UINT* pwSchemaNum);
};

// Adds a class to the registry; the object form also removes it again when the module that
// defines the class is unloaded.
MFC_API void AfxClassInit(CRuntimeClass* pNewClass);
MFC_API void AfxClassTerm(CRuntimeClass* pClass);

struct MFC_API AFX_CLASSINIT {
    explicit AFX_CLASSINIT(CRuntimeClass* pNewClass);
    ~AFX_CLASSINIT();
    AFX_CLASSINIT(const AFX_CLASSINIT&) = delete;
    AFX_CLASSINIT& operator=(const AFX_CLASSINIT&) = delete;
    CRuntimeClass* m_pClass;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name)                                                                \
public:                                                                                            \
    static CRuntimeClass class##class_name;                                                        \
    CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name)                                                              \
    DECLARE_DYNAMIC(class_name)                                                                    \
    static CObject* CreateObject();

// The typed extraction operator is a hidden friend found by argument-dependent lookup, so it
// needs no export from the library that defines the class.
#define DECLARE_SERIAL(class_name)                                                                 \
    DECLARE_DYNCREATE(class_name)                                                                  \
    friend CArchive& operator>>(CArchive& ar, class_name*& pOb) {                                  \
        return SdReadTypedObject(ar, pOb, RUNTIME_CLASS(class_name));                              \
    }

#define IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, pfnNew)                       \
    CRuntimeClass class_name::class##class_name = {                                                \
        #class_name, int(sizeof(class_name)),        wSchema,                                      \
        pfnNew,      RUNTIME_CLASS(base_class_name), nullptr};                                     \
    CRuntimeClass* class_name::GetRuntimeClass() const {                                           \
        return RUNTIME_CLASS(class_name);                                                          \
    }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name)                                             \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)                                           \
    CObject* class_name::CreateObject() {                                                          \
        return new class_name;                                                                     \
    }                                                                                              \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, class_name::CreateObject)

#define IMPLEMENT_SERIAL(class_name, base_class_name, wSchema)                                     \
    CObject* class_name::CreateObject() {                                                          \
        return new class_name;                                                                     \
    }                                                                                              \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, class_name::CreateObject)         \
    static const AFX_CLASSINIT sdClassInit_##class_name(RUNTIME_CLASS(class_name));

// Reads an object that must be of class pClass or derived from it (defined in CArchive.h).
template <class T> CArchive& SdReadTypedObject(CArchive& ar, T*& pOb, CRuntimeClass* pClass);
