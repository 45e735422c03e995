// Makes a window an OLE drop target for shell file lists. A drop is handed to the window's
// handler at once; the window decides whether it takes it.
#pragma once

#include <oleidl.h>
#include <shobjidl.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>

#include "win/ComOwner.h"

// The effect for a drag: the key state asks for one, the source allows some.
DWORD chooseDropEffect(bool accepted, DWORD keyState, DWORD allowedEffects);

class DropTarget final : public IDropTarget {
 public:
  // Called within Drop with every dropped path (one unchanged, several each followed by CR LF);
  // answers whether the drop is taken.
  using FilesHandler = std::function<bool(std::wstring dropped)>;

  explicit DropTarget(FilesHandler onFiles);
  DropTarget(const DropTarget&) = delete;
  DropTarget& operator=(const DropTarget&) = delete;

  // False when a window is already registered or OLE refuses.
  bool registerDropTarget(HWND window);
  // Revokes the registered window, if any. A target that is not registered takes no drop.
  void revokeDropTarget(HWND window);

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IDropTarget
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL point,
                                      DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL point,
                                 DWORD* effect) override;

 private:
  ~DropTarget() = default;
  bool offersAcceptedFormat(IDataObject* data) const;
  bool takeFiles(IDataObject* data);

  std::atomic<ULONG> references_{1};
  HWND window_ = nullptr;
  ComOwner<IDropTargetHelper> dragImages_;  // may be null
  // The program takes shell file lists only.
  const bool acceptText_ = false;
  const bool acceptHtml_ = false;
  const bool acceptUrl_ = false;
  const bool acceptFiles_ = true;
  const CLIPFORMAT htmlFormat_;
  const CLIPFORMAT urlFormat_;
  bool accepted_ = false;
  FilesHandler onFiles_;
};
