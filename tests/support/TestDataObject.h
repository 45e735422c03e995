// A data object as a drag source offers it: shell file lists, text, URLs or HTML.
#pragma once

#include <objidl.h>
#include <windows.h>

#include <string>
#include <vector>

class TestDataObject final : public IDataObject {
 public:
  // CF_HDROP with these paths, in UTF-16 as the shell hands them over.
  static TestDataObject* files(const std::vector<std::wstring>& paths);
  // Any other format, holding `bytes`.
  static TestDataObject* other(CLIPFORMAT format, const std::string& bytes);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    out->ptd = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }

 private:
  TestDataObject(CLIPFORMAT format, std::string bytes)
      : format_(format), bytes_(std::move(bytes)) {}

  ULONG references_ = 1;
  CLIPFORMAT format_;
  std::string bytes_;
};
