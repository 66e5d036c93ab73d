#include "app/ProgressAccessible.h"

#include "app/Main.h"

const IID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

namespace {

bool IsUnknownOrAccessible(REFIID iid) {
  return IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
         IsEqualIID(iid, kIidAccessible);
}

// The text as the label draws it: with the accelerator character shown as
// the platform shows it ("&&" as "&", a single "&" left out) and every line
// break (CR LF, CR or LF) as one blank. The label draws with DrawTextA,
// which converts in the system code page (CP_ACP), so this converts in
// that one too, not in the thread's that WideText.h uses.
BSTR DrawnText(const TLabel& label) {
  const std::string& text = label.Caption();
  const int length = static_cast<int>(text.size());
  const int wide = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  UniqueBstr converted(SysAllocStringLen(nullptr, wide));
  if (!converted) return nullptr;
  MultiByteToWideChar(CP_ACP, 0, text.data(), length, converted.get(), wide);
  const WCHAR* in = converted.get();
  const WCHAR* const end = in + wide;
  WCHAR* out = converted.get();
  while (in < end) {
    WCHAR c = *in++;
    if (c == L'&' && label.ShowAccelChar()) {
      if (in == end) break;
      c = *in++;
    }
    if (c == L'\r' || c == L'\n') {
      if (c == L'\r' && in < end && *in == L'\n') ++in;
      c = L' ';
    }
    *out++ = c;
  }
  return SysAllocStringLen(converted.get(), static_cast<UINT>(out - converted.get()));
}

// The bar's position as a percentage of its range, as the platform writes
// it: "40%".
BSTR Percentage(const TProgressBar& bar) {
  const int range = bar.Max() - bar.Min();
  WCHAR text[16];
  wsprintfW(text, L"%d%%", range > 0 ? MulDiv(bar.Position() - bar.Min(), 100, range) : 0);
  return SysAllocString(text);
}

// A string result: S_OK, or E_OUTOFMEMORY when it could not be made.
HRESULT Answer(BSTR text, BSTR* out) {
  *out = text;
  return text ? S_OK : E_OUTOFMEMORY;
}

void SetLong(VARIANT* out, LONG value) {
  out->vt = VT_I4;
  out->lVal = value;
}

}  // namespace

class ProgressAccessible final : public IAccessible {
public:
  explicit ProgressAccessible(const TfrmMain& form) : form_(&form) {}

  // COM's allocator: null when memory is short, and no failure raised.
  static void* operator new(size_t size) noexcept { return CoTaskMemAlloc(size); }
  static void operator delete(void* memory) { CoTaskMemFree(memory); }

  // From now on every call fails as a disconnected object's does.
  void Disconnect() { form_ = nullptr; }

  // IUnknown. The object lives on the window's thread: proxies reach it
  // through that thread's message pumping, so a plain count will do.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsUnknownOrAccessible(iid)) return E_NOINTERFACE;
    *out = static_cast<IAccessible*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  // IDispatch: clients call through the interface; no type information.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }

  // IAccessible: the window's client area and its four simple children.
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    if (!parent) return E_POINTER;
    *parent = nullptr;
    if (!form_) return CO_E_OBJNOTCONNECTED;
    return AccessibleObjectFromWindow(form_->Handle(), OBJID_WINDOW, IID_IDispatch,
                                      reinterpret_cast<void**>(parent));
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    if (!count) return E_POINTER;
    *count = kChildBar;
    return form_ ? S_OK : CO_E_OBJNOTCONNECTED;
  }
  // The children are simple elements, known by their ids.
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    LONG id;
    const HRESULT checked = Check(child, &id);
    return FAILED(checked) ? checked : S_FALSE;
  }
  // Every element is named, the window is described by the body, the bar
  // has a value.
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    return Text(child, name, kName);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    return Text(child, value, kValue);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
    return Text(child, description, kDescription);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    LONG id;
    const HRESULT checked = Prepared(child, role, &id);
    if (FAILED(checked)) return checked;
    SetLong(role, id == CHILDID_SELF ? ROLE_SYSTEM_CLIENT
                  : id == kChildBar  ? ROLE_SYSTEM_PROGRESSBAR
                                     : ROLE_SYSTEM_STATICTEXT);
    return S_OK;
  }
  // Nothing takes input; all of it is hidden while the window is.
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    LONG id;
    const HRESULT checked = Prepared(child, state, &id);
    if (FAILED(checked)) return checked;
    LONG flags = id == CHILDID_SELF ? 0 : STATE_SYSTEM_READONLY;
    if (!IsWindowVisible(form_->Handle())) flags |= STATE_SYSTEM_INVISIBLE;
    SetLong(state, flags);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* help) override {
    return NotSupported(help);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, LONG* topic) override {
    if (topic) *topic = 0;
    return NotSupported(file);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* shortcut) override {
    return NotSupported(shortcut);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT, BSTR* action) override {
    return NotSupported(action);
  }
  // Nothing has the focus and nothing is selected.
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override { return Nothing(focus); }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    return Nothing(selection);
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG, VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
  // Screen coordinates: the client area, a label's box, the bar's window.
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                        VARIANT child) override {
    if (!left || !top || !width || !height) return E_POINTER;
    *left = *top = *width = *height = 0;
    LONG id;
    const HRESULT checked = Check(child, &id);
    if (FAILED(checked)) return checked;
    const RECT r = ScreenRect(id);
    *left = r.left;
    *top = r.top;
    *width = r.right - r.left;
    *height = r.bottom - r.top;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG, VARIANT, VARIANT* end) override {
    if (end) VariantInit(end);
    return E_NOTIMPL;
  }
  // The child under a point on the screen, else the client area itself.
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* hit) override {
    if (!hit) return E_POINTER;
    VariantInit(hit);
    if (!form_) return CO_E_OBJNOTCONNECTED;
    const POINT point = {x, y};
    for (LONG id = kChildBar; id >= CHILDID_SELF; --id) {
      const RECT r = ScreenRect(id);
      if (!PtInRect(&r, point)) continue;
      SetLong(hit, id);
      return S_OK;
    }
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
  enum Property { kName, kValue, kDescription };

  ~ProgressAccessible() = default;

  // A VARIANT answer's start: out emptied, the child's id checked.
  HRESULT Prepared(const VARIANT& child, VARIANT* out, LONG* id) const {
    if (!out) return E_POINTER;
    VariantInit(out);
    return Check(child, id);
  }

  HRESULT Text(const VARIANT& child, BSTR* out, Property property) const {
    if (!out) return E_POINTER;
    *out = nullptr;
    LONG id;
    const HRESULT checked = Check(child, &id);
    if (FAILED(checked)) return checked;
    if (property == kValue) return id == kChildBar ? Answer(Percentage(form_->Balken), out) : S_FALSE;
    const TLabel* label = property == kName      ? LabelOf(id)
                          : id == CHILDID_SELF ? &form_->lbText  // the description
                                               : nullptr;
    return label ? Answer(DrawnText(*label), out) : S_FALSE;
  }

  // The child id a client asks about: the object itself or one child.
  HRESULT Check(const VARIANT& child, LONG* id) const {
    if (!form_) return CO_E_OBJNOTCONNECTED;
    if (child.vt != VT_I4 || child.lVal < CHILDID_SELF || child.lVal > kChildBar)
      return E_INVALIDARG;
    *id = child.lVal;
    return S_OK;
  }

  // The label that names an element: the title names the window too; the
  // bar has none.
  const TLabel* LabelOf(LONG id) const {
    switch (id) {
      case kChildBar: return nullptr;
      case kChildBody: return &form_->lbText;
      case kChildWait: return &form_->lbWait;
      default: return &form_->lblTitel;
    }
  }

  const TControl& Control(LONG id) const {
    if (const TLabel* label = LabelOf(id)) return *label;
    return form_->Balken;
  }

  RECT ScreenRect(LONG id) const {
    RECT r;
    HWND from = form_->Handle();
    if (id == CHILDID_SELF) {
      GetClientRect(from, &r);
    } else {
      const TControl& control = Control(id);
      r = control.BoundsRect();
      from = control.Parent()->Handle();
    }
    MapWindowPoints(from, HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }

  // Shared by the properties the window does not have (not inlined: size).
  [[gnu::noinline]] HRESULT NotSupported(BSTR* out) const {
    if (out) *out = nullptr;
    return form_ ? DISP_E_MEMBERNOTFOUND : CO_E_OBJNOTCONNECTED;
  }
  [[gnu::noinline]] HRESULT Nothing(VARIANT* out) const {
    if (!out) return E_POINTER;
    VariantInit(out);
    return form_ ? S_FALSE : CO_E_OBJNOTCONNECTED;
  }

  const TfrmMain* form_;
  ULONG references_ = 1;  // the window's
};

void ProgressAccessibleCloser::operator()(ProgressAccessible* object) const {
  object->Disconnect();
  CoDisconnectObject(object, 0);
  object->Release();
}

ProgressAccessible* NewProgressAccessible(const TfrmMain& form) {
  return new ProgressAccessible(form);
}

LRESULT AccessibleObjectResult(ProgressAccessible* object, WPARAM wParam, LPARAM lParam) {
  // The object id arrives as a 32-bit value, not always sign-extended.
  if (!object || static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT)) return 0;
  const LRESULT result = LresultFromObject(kIidAccessible, wParam, object);
  return result > 0 ? result : 0;
}

void RaiseTextChanged(HWND window, ProgressChild child) {
  NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window, OBJID_CLIENT, child);
  if (child == kChildTitle) NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window, OBJID_CLIENT, CHILDID_SELF);
  if (child == kChildBody)
    NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, window, OBJID_CLIENT, CHILDID_SELF);
}

void RaiseProgressChanged(HWND window) {
  NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, window, OBJID_CLIENT, kChildBar);
}
