// Makes the window an OLE drop target for shell file lists.
#include "app/DropTarget.h"

#include <shellapi.h>
#include <shlguid.h>

#include <memory>

namespace {

struct MediumReleaser {
  void operator()(STGMEDIUM* medium) const { ReleaseStgMedium(medium); }
};

FORMATETC formatOf(CLIPFORMAT format) {
  return {format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

// Every path of a shell file list, as the shell has it: one unchanged, several each followed by
// CR LF.
std::wstring droppedText(HDROP drop) {
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  std::wstring text;
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileW(drop, i, nullptr, 0);
    std::wstring path(length + 1, L'\0');
    DragQueryFileW(drop, i, path.data(), length + 1);
    path.resize(length);
    text += count == 1 ? path : path + L"\r\n";
  }
  return text;
}

}  // namespace

DWORD chooseDropEffect(bool accepted, DWORD keyState, DWORD allowedEffects) {
  if (!accepted) return DROPEFFECT_NONE;
  DWORD asked = DROPEFFECT_NONE;
  if (keyState & MK_CONTROL)
    asked = (keyState & MK_SHIFT) ? DROPEFFECT_LINK : DROPEFFECT_COPY;
  else if (keyState & MK_SHIFT)
    asked = DROPEFFECT_MOVE;
  if (asked != DROPEFFECT_NONE) {
    // A link is never given.
    if (asked == DROPEFFECT_LINK) return DROPEFFECT_NONE;
    return (allowedEffects & asked) ? asked : DROPEFFECT_NONE;
  }
  for (const DWORD effect : {DROPEFFECT_COPY, DROPEFFECT_MOVE, DROPEFFECT_LINK})
    if (allowedEffects & effect) return effect;
  return DROPEFFECT_NONE;
}

DropTarget::DropTarget(FilesHandler onFiles)
    : htmlFormat_(static_cast<CLIPFORMAT>(RegisterClipboardFormatA("HTML Format"))),
      urlFormat_(static_cast<CLIPFORMAT>(RegisterClipboardFormatA("UniformResourceLocator"))),
      onFiles_(std::move(onFiles)) {
  // Only draws the shell's drag image; the drop works without it.
  IDropTargetHelper* dragImages = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER,
                                 IID_IDropTargetHelper, reinterpret_cast<void**>(&dragImages))))
    dragImages_.reset(dragImages);
}

bool DropTarget::registerDropTarget(HWND window) {
  if (window_ != nullptr) return false;
  if (FAILED(RegisterDragDrop(window, this))) return false;
  window_ = window;
  return true;
}

void DropTarget::revokeDropTarget(HWND) {
  if (window_ == nullptr) return;
  RevokeDragDrop(window_);
  window_ = nullptr;
}

HRESULT DropTarget::QueryInterface(REFIID riid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropTarget)) {
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG DropTarget::AddRef() { return ++references_; }

ULONG DropTarget::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

bool DropTarget::offersAcceptedFormat(IDataObject* data) const {
  const auto offers = [data](CLIPFORMAT format) {
    FORMATETC query = formatOf(format);
    return data->QueryGetData(&query) == S_OK;
  };
  return (acceptText_ && offers(CF_TEXT)) || (acceptFiles_ && offers(CF_HDROP)) ||
         (acceptUrl_ && offers(urlFormat_)) || (acceptHtml_ && offers(htmlFormat_));
}

HRESULT DropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
  if (effect == nullptr) return E_INVALIDARG;
  if (dragImages_) {
    POINT where{point.x, point.y};
    dragImages_->DragEnter(window_, data, &where, *effect);
  }
  accepted_ = window_ != nullptr && data != nullptr && offersAcceptedFormat(data);
  *effect = chooseDropEffect(accepted_, keyState, *effect);
  return S_OK;
}

HRESULT DropTarget::DragOver(DWORD keyState, POINTL point, DWORD* effect) {
  if (effect == nullptr) return E_INVALIDARG;
  if (dragImages_) {
    POINT where{point.x, point.y};
    dragImages_->DragOver(&where, *effect);
  }
  *effect = chooseDropEffect(accepted_ && window_ != nullptr, keyState, *effect);
  return S_OK;
}

HRESULT DropTarget::DragLeave() {
  if (dragImages_) dragImages_->DragLeave();
  accepted_ = false;
  return S_OK;
}

HRESULT DropTarget::Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
  if (effect == nullptr) return E_INVALIDARG;
  if (dragImages_) {
    POINT where{point.x, point.y};
    dragImages_->Drop(data, &where, *effect);
  }
  *effect = chooseDropEffect(accepted_ && window_ != nullptr && data != nullptr, keyState, *effect);
  accepted_ = false;
  if (*effect == DROPEFFECT_NONE) return S_OK;
  if (acceptFiles_ && !takeFiles(data)) *effect = DROPEFFECT_NONE;
  return S_OK;
}

bool DropTarget::takeFiles(IDataObject* data) {
  FORMATETC format = formatOf(CF_HDROP);
  STGMEDIUM medium{};
  if (data->GetData(&format, &medium) != S_OK) return false;
  const std::unique_ptr<STGMEDIUM, MediumReleaser> owned(&medium);
  std::wstring text = droppedText(static_cast<HDROP>(medium.hGlobal));
  return !text.empty() && onFiles_ && onFiles_(std::move(text));
}
