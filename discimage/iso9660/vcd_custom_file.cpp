#include "discimage/iso9660/vcd_custom_file.h"

#include "discimage/base/vcd_stream.h"

IMPLEMENT_DYNAMIC(CCustomFile, CVcdObject)

CCustomFile::CCustomFile(const char* isoPath, CVcdStream* source)
    : m_mixed(0),
      m_sizeBytes(0),
      m_startSector(0),
      m_sectors(0),
      m_isoPath(isoPath ? isoPath : ""),
      m_source(source) {}

CCustomFile::~CCustomFile() { Release(); }

void CCustomFile::Release() {
  if (m_source == NULL) return;
  m_source->Release();
  delete m_source;
  m_source = NULL;
}

void CCustomFile::Detach(int flag) {
  Release();
  CVcdObject::Detach(flag);
}

int64_t CCustomFile::GetTime() {
  if (m_source == NULL) return 0;
  if (m_source->GetFileTime() == 0) {
    const bool wasOpen = m_source->IsOpen();
    m_source->Size();
    if (!wasOpen) m_source->Close();
  }
  return m_source->GetFileTime();
}
