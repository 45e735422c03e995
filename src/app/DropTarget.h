// Makes the window an OLE drop target for shell file lists. A drop is answered at once and
// handed to the window as a posted message, so the drag source is never kept waiting while
// the export runs.
#pragma once

#include <oleidl.h>
#include <shobjidl.h>
#include <windows.h>

#include <atomic>

#include <string>
#include "win/ComOwner.h"

// Posted to the registered window after a drop; lParam owns the dropped text (see
// takeDroppedText).
inline constexpr UINT kFilesDroppedMessage = WM_APP + 1;

// The text a kFilesDroppedMessage carries: one path, or several each followed by CR LF.
std::wstring takeDroppedText(LPARAM lParam);

// The effect for a drag: the key state asks for one, the source allows some.
DWORD chooseDropEffect(bool accepted, DWORD keyState, DWORD allowedEffects);

class DropTarget final : public IDropTarget {
 public:
  DropTarget();
  DropTarget(const DropTarget&) = delete;
  DropTarget& operator=(const DropTarget&) = delete;

  // False when a window is already registered or OLE refuses.
  bool registerDropTarget(HWND window);
  // Revokes the registered window, if any.
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
  bool postFiles(IDataObject* data);

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
  // A drop was handed on and its export has not started yet: refuse further drops until then.
  bool dropPending_ = false;
};
