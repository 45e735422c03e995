// A data object as a drag source offers it.
#include "support/TestDataObject.h"

#include <shlobj.h>

#include <cstring>

TestDataObject* TestDataObject::files(const std::vector<std::wstring>& paths) {
  DROPFILES header{};
  header.pFiles = sizeof header;
  header.fWide = TRUE;
  std::wstring list;
  for (const auto& path : paths) list += path + L'\0';
  list += L'\0';
  std::string bytes(reinterpret_cast<const char*>(&header), sizeof header);
  bytes.append(reinterpret_cast<const char*>(list.data()), list.size() * sizeof(wchar_t));
  return new TestDataObject(CF_HDROP, bytes);
}

TestDataObject* TestDataObject::other(CLIPFORMAT format, const std::string& bytes) {
  return new TestDataObject(format, bytes + '\0');
}

HRESULT TestDataObject::QueryInterface(REFIID riid, void** object) {
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject)) {
    *object = static_cast<IDataObject*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG TestDataObject::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT TestDataObject::QueryGetData(FORMATETC* format) {
  return format->cfFormat == format_ && (format->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
}

HRESULT TestDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
  if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
  const HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, bytes_.size());
  std::memcpy(GlobalLock(global), bytes_.data(), bytes_.size());
  GlobalUnlock(global);
  medium->tymed = TYMED_HGLOBAL;
  medium->hGlobal = global;
  medium->pUnkForRelease = nullptr;
  return S_OK;
}
