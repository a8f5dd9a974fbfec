#pragma once

// Windows tests only: files on the clipboard as a shell copy or cut puts them there.
// The other system headers build on the types that windows.h declares.
// clang-format off
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>
// clang-format on

#include <atomic>
#include <functional>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "support/Win32DropBlock.h"

// The data object of a shell cut: the files as CF_HDROP and a preferred effect. It counts every
// SetData, by which a paste target would report a performed move or a finished paste, after
// which the shell deletes the files of a cut.
class TFilesDataObject final : public IDataObject {
 public:
  TFilesDataObject(std::vector<std::string> names, DWORD preferredEffect)
      : Block([names] {
          return DropBlock(names, {0, 0});
        }),
        Effect(preferredEffect) {}
  // Any block, well made or not, as another program may offer one.
  TFilesDataObject(std::function<HGLOBAL()> block, DWORD preferredEffect)
      : Block(std::move(block)), Effect(preferredEffect) {}

  std::atomic<int> SetDataCalls{0};

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    *object = iid == IID_IUnknown || iid == IID_IDataObject ? this : nullptr;
    if (!*object) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++References; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --References;
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
    medium->tymed = TYMED_HGLOBAL;
    medium->pUnkForRelease = nullptr;
    if (format->cfFormat == CF_HDROP) {
      medium->hGlobal = Block();
      return S_OK;
    }
    medium->hGlobal = GlobalAlloc(GHND, sizeof(DWORD));
    *static_cast<DWORD*>(GlobalLock(medium->hGlobal)) = Effect;
    GlobalUnlock(medium->hGlobal);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
    const bool known = format->cfFormat == CF_HDROP || format->cfFormat == EffectFormat();
    return known && (format->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    out->ptd = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM* medium, BOOL release) override {
    ++SetDataCalls;
    if (release) ReleaseStgMedium(medium);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override {
    if (direction != DATADIR_GET) return E_NOTIMPL;
    FORMATETC offered[] = {{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL},
                           {EffectFormat(), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}};
    return SHCreateStdEnumFmtEtc(2, offered, formats);
  }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }

  static CLIPFORMAT EffectFormat() {
    return CLIPFORMAT(RegisterClipboardFormatW(L"Preferred DropEffect"));
  }

 private:
  ~TFilesDataObject() = default;
  std::function<HGLOBAL()> Block;
  DWORD Effect;
  std::atomic<ULONG> References{1};
};

// A thread of its own that puts files on the clipboard through OLE, as the shell does, and
// serves them (pumping its messages) until the source goes. One per test program: Wine binds
// OLE's clipboard window to the thread that first used it.
class TClipboardFilesSource {
 public:
  TClipboardFilesSource() {
    std::promise<void> started;
    Thread = std::thread([this, &started] {
      OleInitialize(nullptr);
      ThreadId = GetCurrentThreadId();
      MSG message;
      PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue, for WM_QUIT
      started.set_value();
      while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == PlaceMessage)
          PlaceOnThread(*reinterpret_cast<TFilesDataObject*>(message.lParam));
        else
          DispatchMessageW(&message);
      }
      if (Data && OleIsCurrentClipboard(Data) == S_OK) OleSetClipboard(nullptr);
      OleUninitialize();
    });
    started.get_future().get();
  }
  ~TClipboardFilesSource() {
    PostThreadMessageW(ThreadId, WM_QUIT, 0, 0);
    Thread.join();
    for (TFilesDataObject* data : Placed) data->Release();
  }
  TClipboardFilesSource(const TClipboardFilesSource&) = delete;
  TClipboardFilesSource& operator=(const TClipboardFilesSource&) = delete;

  // Puts the files there, replacing what was there; false when the clipboard refused them.
  bool Place(std::vector<std::string> names, DWORD preferredEffect) {
    return PlaceObject(new TFilesDataObject(std::move(names), preferredEffect));
  }
  bool PlaceBlock(std::function<HGLOBAL()> block) {
    return PlaceObject(new TFilesDataObject(std::move(block), DROPEFFECT_COPY));
  }
  // Every SetData any of the placed objects received.
  int SetDataCalls() const {
    int calls = 0;
    for (const TFilesDataObject* data : Placed) calls += data->SetDataCalls;
    return calls;
  }

 private:
  static constexpr UINT PlaceMessage = WM_APP + 7;

  bool PlaceObject(TFilesDataObject* data) {
    Placed.push_back(data);
    Done = std::promise<bool>();
    PostThreadMessageW(ThreadId, PlaceMessage, 0, reinterpret_cast<LPARAM>(data));
    return Done.get_future().get();
  }

  void PlaceOnThread(TFilesDataObject& data) {
    // Another program (the system's own clipboard bridge, under Wine) may hold the clipboard
    // open for a moment.
    HRESULT result = E_FAIL;
    for (int attempt = 0; attempt < 100 && FAILED(result = OleSetClipboard(&data)); ++attempt)
      Sleep(20);
    if (SUCCEEDED(result)) Data = &data;
    Done.set_value(SUCCEEDED(result));
  }

  std::thread Thread;
  DWORD ThreadId = 0;
  std::promise<bool> Done;
  TFilesDataObject* Data = nullptr;
  std::vector<TFilesDataObject*> Placed;
};

// The one source of a test program, shared by every test that puts files on the clipboard. It
// lives until the program ends, which stops its thread.
inline TClipboardFilesSource& SharedClipboardFilesSource() {
  static TClipboardFilesSource* source = new TClipboardFilesSource;
  return *source;
}
