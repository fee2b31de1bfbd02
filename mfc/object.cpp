#include "mfc/object.h"

#include <cstdio>

CRuntimeClass CObject::classCObject = {"CObject", static_cast<int>(sizeof(CObject)), 0xFFFF,
                                       NULL, NULL};

CObject* CRuntimeClass::CreateObject() const {
  return m_pfnCreateObject ? m_pfnCreateObject() : NULL;
}

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const {
  for (const CRuntimeClass* cls = this; cls; cls = cls->m_pBaseClass)
    if (cls == pBaseClass) return TRUE;
  return FALSE;
}

CRuntimeClass* CObject::GetRuntimeClass() const { return RUNTIME_CLASS(CObject); }

CObject::~CObject() = default;

void CObject::Serialize(CArchive&) {}

void CObject::AssertValid() const {}

void CObject::Dump(CDumpContext& dc) const {
  dc << "a " << GetRuntimeClass()->m_lpszClassName << " at " << static_cast<const void*>(this)
     << "\n";
}

BOOL CObject::IsKindOf(const CRuntimeClass* pClass) const {
  return pClass != NULL && GetRuntimeClass()->IsDerivedFrom(pClass);
}

BOOL CObject::IsSerializable() const { return GetRuntimeClass()->m_wSchema != 0xFFFF; }

CDumpContext afxDump;

CDumpContext& CDumpContext::operator<<(LPCSTR psz) {
  fputs(psz ? psz : "(null)", stderr);
  return *this;
}
CDumpContext& CDumpContext::operator<<(const void* p) {
  fprintf(stderr, "%p", p);
  return *this;
}
CDumpContext& CDumpContext::operator<<(const CObject* pOb) {
  if (pOb)
    pOb->Dump(*this);
  else
    *this << "NULL";
  return *this;
}
CDumpContext& CDumpContext::operator<<(const CObject& ob) { return *this << &ob; }
CDumpContext& CDumpContext::operator<<(int n) { return *this << static_cast<long long>(n); }
CDumpContext& CDumpContext::operator<<(unsigned int n) {
  return *this << static_cast<unsigned long long>(n);
}
CDumpContext& CDumpContext::operator<<(long n) { return *this << static_cast<long long>(n); }
CDumpContext& CDumpContext::operator<<(unsigned long n) {
  return *this << static_cast<unsigned long long>(n);
}
CDumpContext& CDumpContext::operator<<(long long n) {
  fprintf(stderr, "%lld", n);
  return *this;
}
CDumpContext& CDumpContext::operator<<(unsigned long long n) {
  fprintf(stderr, "%llu", n);
  return *this;
}
CDumpContext& CDumpContext::operator<<(double d) {
  fprintf(stderr, "%g", d);
  return *this;
}
void CDumpContext::Flush() { fflush(stderr); }
