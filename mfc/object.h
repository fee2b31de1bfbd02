// CObject, the root of every class that needs a run-time class record, and
// CRuntimeClass with the DECLARE_/IMPLEMENT_ macros that fill it in.
#pragma once

#include "mfc/types.h"

class CObject;
class CArchive;  // serialization is not used by the suite; declared for Serialize
class CDumpContext;

// One record per class, built at compile time by IMPLEMENT_DYNAMIC or
// IMPLEMENT_DYNCREATE. Records only point at their base, so the chain can be
// walked without any registration at start-up.
struct CRuntimeClass {
  LPCSTR m_lpszClassName;
  int m_nObjectSize;
  UINT m_wSchema;                     // 0xFFFF: not serializable
  CObject* (*m_pfnCreateObject)();    // NULL unless DYNCREATE
  CRuntimeClass* m_pBaseClass;        // NULL for CObject only

  // A new object of this class, or NULL when the class is not DYNCREATE.
  CObject* CreateObject() const;
  // TRUE when this class is pBaseClass or derives from it.
  BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

class CObject {
public:
  // Slot order matters to code that mirrors these objects: run-time class,
  // destructor, serialize, validity check, dump.
  virtual CRuntimeClass* GetRuntimeClass() const;
  virtual ~CObject();
  virtual void Serialize(CArchive& ar);
  virtual void AssertValid() const;
  virtual void Dump(CDumpContext& dc) const;

  BOOL IsKindOf(const CRuntimeClass* pClass) const;
  BOOL IsSerializable() const;

  static CRuntimeClass classCObject;

protected:
  CObject() = default;

private:
  // Objects are owned by pointer (lists, trees); copying one is a mistake.
  CObject(const CObject&) = delete;
  CObject& operator=(const CObject&) = delete;
};

// Debug output sink for Dump(); writes to stderr.
class CDumpContext {
public:
  CDumpContext& operator<<(LPCSTR psz);
  CDumpContext& operator<<(const void* p);
  CDumpContext& operator<<(const CObject* pOb);
  CDumpContext& operator<<(const CObject& ob);
  CDumpContext& operator<<(int n);
  CDumpContext& operator<<(unsigned int n);
  CDumpContext& operator<<(long n);
  CDumpContext& operator<<(unsigned long n);
  CDumpContext& operator<<(long long n);
  CDumpContext& operator<<(unsigned long long n);
  CDumpContext& operator<<(double d);
  void Flush();
};

extern CDumpContext afxDump;

// NULL when pObject is NULL or not of the class; the checked cast.
inline CObject* AfxDynamicDownCast(CRuntimeClass* pClass, CObject* pObject) {
  return pObject != NULL && pObject->IsKindOf(pClass) ? pObject : NULL;
}

#define DYNAMIC_DOWNCAST(class_name, object) \
  (static_cast<class_name*>(AfxDynamicDownCast(RUNTIME_CLASS(class_name), object)))
#define STATIC_DOWNCAST(class_name, object) (static_cast<class_name*>(object))

#ifdef NDEBUG
#define ASSERT_VALID(pOb) ((void)0)
#define ASSERT_KINDOF(class_name, object) ((void)0)
#else
#define ASSERT_VALID(pOb) (assert((pOb) != NULL), (pOb)->AssertValid())
#define ASSERT_KINDOF(class_name, object) assert((object)->IsKindOf(RUNTIME_CLASS(class_name)))
#endif

// Inside the class body. Leaves the access at public, as the class body
// usually goes on with public members.
#define DECLARE_DYNAMIC(class_name)                 \
public:                                             \
  static CRuntimeClass class##class_name;           \
  CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
  DECLARE_DYNAMIC(class_name)         \
  static CObject* CreateObject();

// At namespace scope in one source file.
#define QUORBEL_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, schema, pfnNew) \
  CRuntimeClass class_name::class##class_name = {                                 \
      #class_name, static_cast<int>(sizeof(class_name)), schema, pfnNew,           \
      RUNTIME_CLASS(base_class_name)};                                              \
  CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
  QUORBEL_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, NULL)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)                   \
  CObject* class_name::CreateObject() { return new class_name; }           \
  QUORBEL_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF,      \
                                 class_name::CreateObject)
