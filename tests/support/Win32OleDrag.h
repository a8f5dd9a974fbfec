#pragma once

// Windows tests only: a drag of names through the system's own OLE drag loop.
// clang-format off
#include <windows.h>
#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>
// clang-format on

#include <functional>
#include <string>
#include <vector>

#include "support/Win32DropBlock.h"

// Drags names over the screen and drops them with the system's DoDragDrop, as the shell's drag
// loop does: the drop target learns of the drag only through OLE. The cursor goes to each stop in
// turn; once the loop has told the target of it a few times, the stop's look runs (to check what
// the window shows then), and the names are dropped at the last stop. Gives the drop's effect.
class TOleDrag {
 public:
  struct TStop {
    POINT Screen;
    std::function<void()> Look;
  };

  static DWORD Run(const std::vector<std::string>& names, std::vector<TStop> stops,
                   DWORD allowed = DROPEFFECT_COPY | DROPEFFECT_LINK) {
    TData data(names);
    TSource source(std::move(stops));
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT result = DoDragDrop(&data, &source, allowed, &effect);
    return result == DRAGDROP_S_DROP ? effect : DROPEFFECT_NONE;
  }

 private:
  // Lives on the caller's stack for the one drag, so counting references is not needed.
  template <typename TInterface>
  class TStackObject : public TInterface {
   public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
      if (iid != IID_IUnknown && iid != __uuidof(TInterface)) {
        *object = nullptr;
        return E_NOINTERFACE;
      }
      *object = this;
      return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
  };

  // The names as CF_HDROP, the drop point left at 0, 0: the target must take OLE's point.
  class TData : public TStackObject<IDataObject> {
   public:
    explicit TData(std::vector<std::string> names) : Names(std::move(names)) {}
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
      if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
      medium->tymed = TYMED_HGLOBAL;
      medium->hGlobal = DropBlock(Names, {0, 0});
      medium->pUnkForRelease = nullptr;
      return S_OK;
    }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
      return format && format->cfFormat == CF_HDROP && (format->tymed & TYMED_HGLOBAL)
                 ? S_OK
                 : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
      out->ptd = nullptr;
      return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC** out) override {
      *out = nullptr;
      return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
      return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
      return OLE_E_ADVISENOTSUPPORTED;
    }

   private:
    std::vector<std::string> Names;
  };

  class TSource : public TStackObject<IDropSource> {
   public:
    explicit TSource(std::vector<TStop> stops) : Stops(std::move(stops)) {}
    // Asked again and again by the loop: moves on one stop every few calls.
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL, DWORD) override {
      constexpr int CallsPerStop = 6;
      const size_t stop = size_t(Calls / CallsPerStop);
      const int step = Calls++ % CallsPerStop;
      if (stop >= Stops.size()) return DRAGDROP_S_DROP;
      if (step == 0) SetCursorPos(Stops[stop].Screen.x, Stops[stop].Screen.y);
      if (step == CallsPerStop - 1 && Stops[stop].Look) Stops[stop].Look();
      if (step == CallsPerStop - 1 && stop + 1 == Stops.size()) return DRAGDROP_S_DROP;
      return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

   private:
    std::vector<TStop> Stops;
    int Calls = 0;
  };
};
