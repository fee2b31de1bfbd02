#include "standins/calls/dvdauthor_calls.h"

#include <cstring>

bool DvdAuthorCall::Load(const char* name) {
  m_entry = nullptr;
  if (!m_library.Load(name)) return false;
  return m_library.Bind(DVDAUTHOR_ENTRY_NAME, &m_entry);
}

int32_t DvdAuthorCall::Run() {
  if (m_entry == nullptr) return -1;
  m_fileArray.clear();
  for (const std::string& file : m_files) m_fileArray.push_back(file.c_str());
  m_fileArray.push_back(nullptr);
  memset(&m_params, 0, sizeof m_params);
  m_params.window = m_window;
  m_params.files = m_fileArray.data();
  strncpy(m_params.outputFolder, m_outputFolder.c_str(), sizeof m_params.outputFolder - 1);
  m_params.tvType = m_tvType;
  m_params.aspect = m_aspect;
  m_params.letterBox = m_letterBox;
  return m_entry(&m_params);
}

DvdAuthorCall& DvdAuthor() {
  static DvdAuthorCall call;
  static bool tried = false;
  if (!tried) {
    tried = true;
    call.Load();
  }
  return call;
}
