#include "toolkit/win32/WinAccessible.h"

#include <oleacc.h>

namespace {

// Wraps the system's standard object and changes only what a screen reader says the control is
// and is called; position, state, focus and navigation stay the system's.
class TAccessibleButton final : public IAccessible {
 public:
  TAccessibleButton(IAccessible* standard, std::wstring name)
      : Standard(standard), Name(std::move(name)) {}
  TAccessibleButton(const TAccessibleButton&) = delete;
  TAccessibleButton& operator=(const TAccessibleButton&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IAccessible) {
      *object = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    // IOleWindow and IEnumVARIANT are the standard object's, as is what they lead to.
    return Standard->QueryInterface(iid, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&References); }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = InterlockedDecrement(&References);
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (!IsSelf(child)) return Standard->get_accName(child, name);
    if (!name) return E_POINTER;
    *name = SysAllocString(Name.c_str());
    return *name ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!IsSelf(child)) return Standard->get_accRole(child, role);
    if (!role) return E_POINTER;
    role->vt = VT_I4;
    role->lVal = ROLE_SYSTEM_PUSHBUTTON;
    return S_OK;
  }

  // The rest is the standard object's.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    return Standard->GetTypeInfoCount(count);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
    return Standard->GetTypeInfo(index, locale, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override {
    return Standard->GetIDsOfNames(iid, names, count, locale, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argument) override {
    return Standard->Invoke(id, iid, locale, flags, params, result, exception, argument);
  }
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    return Standard->get_accParent(parent);
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    return Standard->get_accChildCount(count);
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
    return Standard->get_accChild(child, object);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    return Standard->get_accValue(child, value);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
    return Standard->get_accDescription(child, description);
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    return Standard->get_accState(child, state);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
    return Standard->get_accHelp(child, help);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
    return Standard->get_accHelpTopic(file, child, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
    return Standard->get_accKeyboardShortcut(child, shortcut);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
    return Standard->get_accFocus(child);
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
    return Standard->get_accSelection(children);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    return Standard->get_accDefaultAction(child, action);
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
    return Standard->accSelect(flags, child);
  }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                        VARIANT child) override {
    return Standard->accLocation(left, top, width, height, child);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    return Standard->accNavigate(direction, start, end);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG left, LONG top, VARIANT* child) override {
    return Standard->accHitTest(left, top, child);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    return Standard->accDoDefaultAction(child);
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
    return Standard->put_accName(child, name);
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
    return Standard->put_accValue(child, value);
  }

 private:
  ~TAccessibleButton() { Standard->Release(); }
  static bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

  IAccessible* Standard;
  std::wstring Name;
  LONG References = 1;
};

}  // namespace

LRESULT AccessibleButtonObject(HWND window, WPARAM wParam, LPARAM objectId,
                               const std::wstring& name) {
  if (static_cast<LONG>(objectId) != OBJID_CLIENT) return 0;
  IAccessible* standard = nullptr;
  if (FAILED(CreateStdAccessibleObject(window, OBJID_CLIENT, IID_IAccessible,
                                       reinterpret_cast<void**>(&standard))))
    return 0;
  auto* button = new TAccessibleButton(standard, name);
  const LRESULT result = LresultFromObject(IID_IAccessible, wParam, button);
  button->Release();
  return result;
}
