// What a screen reader reads of the progress window: the window named by
// its title and described by its body, three static texts named as they
// are drawn and a progress bar whose value is a percentage; in this
// process, and from another process while the real Setup.exe runs, with
// the events it raises.
#include "SetupMedium.h"
#include "WineTestSupport.h"

#include "app/Main.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace setup_test;

namespace {

VARIANT Child(LONG id) {
  VARIANT v;
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

std::wstring TextOf(HRESULT result, const UniqueBstr& text) {
  if (FAILED(result)) return L"(failed)";
  return text ? std::wstring(text.get(), SysStringLen(text.get())) : L"(none)";
}
std::wstring Name(IAccessible* object, LONG id) {
  UniqueBstr text;
  return TextOf(object->get_accName(Child(id), text.put()), text);
}
std::wstring Description(IAccessible* object) {
  UniqueBstr text;
  return TextOf(object->get_accDescription(Child(CHILDID_SELF), text.put()), text);
}
std::wstring Value(IAccessible* object, LONG id) {
  UniqueBstr text;
  return TextOf(object->get_accValue(Child(id), text.put()), text);
}
// A role or state, -1 when it could not be read.
LONG RoleOf(IAccessible* object, LONG id) {
  VARIANT role;
  return SUCCEEDED(object->get_accRole(Child(id), &role)) && role.vt == VT_I4 ? role.lVal : -1;
}
LONG StateOf(IAccessible* object, LONG id) {
  VARIANT state;
  return SUCCEEDED(object->get_accState(Child(id), &state)) && state.vt == VT_I4 ? state.lVal : -1;
}

ComPtr<IAccessible> ClientObject(HWND window) {
  ComPtr<IAccessible> object;
  AccessibleObjectFromWindow(window, OBJID_CLIENT, kIidAccessible, object.put_void());
  return object;
}

// The progress window's texts: the title with accelerator characters, the
// body with both placeholders and a line break ("\n" in a language file).
const std::map<int32_t, std::string> kTexts = {
    {1000, "Setup && Co &Demo"},
    {1001, "%PRODUKTNAME% %PRODUKTVERSION%\\nwird f\xFCr Sie & andere vorbereitet."},
    {1002, "Bitte warten ..."}};
const wchar_t kTitleRead[] = L"Setup & Co Demo";
const wchar_t kBodyRead[] = L"Demo Produkt 1.0 wird f\u00fcr Sie & andere vorbereitet.";
const wchar_t kWaitRead[] = L"Bitte warten ...";

// Every test talks COM on its thread; the run tests build a medium.
class ScreenReader : public SetupRunTest {
protected:
  void SetUp() override {
    SetupRunTest::SetUp();
    CoInitialize(nullptr);
  }
  void TearDown() override {
    CoUninitialize();
    SetupRunTest::TearDown();
  }
};

// What a client in another process saw of the window during a run.
struct Reading {
  static Reading* current;  // the one the event hook counts into
  HWND window = nullptr;
  ComPtr<IAccessible> object;
  std::vector<int> values;  // the bar's values as read, repeats left out
  bool looked = false;      // names and roles read once the texts were set
  std::wstring name, description, childNames[3];
  LONG childCount = -1, roles[4] = {-1, -1, -1, -1};
  int valueChanges = 0, nameChanges[4] = {};

  void Poll(DWORD processId) {
    if (!window) window = WindowOf(processId, TfrmMain::kClassName);
    if (!window) return;
    if (!object) object = ClientObject(window);
    if (!object) return;
    int percent = -1;
    if (swscanf(Value(object.get(), kChildBar).c_str(), L"%d%%", &percent) != 1) return;
    if (values.empty() || values.back() != percent) values.push_back(percent);
    if (looked || percent < 1) return;
    looked = true;
    name = Name(object.get(), CHILDID_SELF);
    description = Description(object.get());
    for (LONG id = kChildTitle; id <= kChildWait; ++id) childNames[id - 1] = Name(object.get(), id);
    object->get_accChildCount(&childCount);
    for (LONG id = kChildTitle; id <= kChildBar; ++id) roles[id - 1] = RoleOf(object.get(), id);
  }

  static void CALLBACK Count(HWINEVENTHOOK, DWORD event, HWND, LONG objectId, LONG child, DWORD,
                             DWORD) {
    if (objectId != OBJID_CLIENT) return;
    if (event == EVENT_OBJECT_VALUECHANGE && child == kChildBar) ++current->valueChanges;
    if (event == EVENT_OBJECT_NAMECHANGE && child >= kChildTitle && child <= kChildWait)
      ++current->nameChanges[child];
  }
};
Reading* Reading::current = nullptr;

}  // namespace

TEST_F(ScreenReader, ItsChildrenReadTheTextsAsDrawnWhereTheLayoutPutsThem) {
  ApplicationScope scope;
  const FixedEnvironment design(16);
  auto form = std::make_unique<TfrmMain>(design);
  SetupInfo info;
  info.silent = true;
  ASSERT_TRUE(WriteBytes(temp_ + "\\setup.inf", SetupInfoFile(info)));
  ASSERT_TRUE(WriteBytes(temp_ + "\\Deutsch.lng", LanguageFile("Deutsch", kTexts)));
  ComPtr<IAccessible> object = ClientObject(form->Handle());
  ASSERT_TRUE(object);
  EXPECT_EQ(Name(object.get(), kChildTitle), L"#") << "the text until set";
  EXPECT_EQ(Value(object.get(), kChildBar), L"0%");
  form->PrepareWindow(temp_);

  EXPECT_EQ(Name(object.get(), CHILDID_SELF), kTitleRead);
  EXPECT_EQ(Description(object.get()), kBodyRead);
  EXPECT_EQ(Name(object.get(), kChildTitle), kTitleRead);
  EXPECT_EQ(Name(object.get(), kChildBody), kBodyRead);
  EXPECT_EQ(Name(object.get(), kChildWait), kWaitRead);
  form->SetProgress(40);
  EXPECT_EQ(Value(object.get(), kChildBar), L"40%");
  EXPECT_EQ(Value(object.get(), kChildBody), L"(none)");

  // A silent run answers as the window stands: hidden, at its stored place
  // (417, 316); the body's box and the bar's window as laid out.
  EXPECT_TRUE(StateOf(object.get(), CHILDID_SELF) & STATE_SYSTEM_INVISIBLE);
  EXPECT_TRUE(StateOf(object.get(), kChildBar) & STATE_SYSTEM_INVISIBLE);
  LONG left, top, width, height;
  ASSERT_EQ(object->accLocation(&left, &top, &width, &height, Child(kChildBody)), S_OK);
  EXPECT_EQ(std::vector<LONG>({left, top, width, height}), std::vector<LONG>({456, 348, 267, 32}));
  ASSERT_EQ(object->accLocation(&left, &top, &width, &height, Child(kChildBar)), S_OK);
  EXPECT_EQ(std::vector<LONG>({left, top, width, height}), std::vector<LONG>({447, 435, 321, 17}));
  VARIANT hit;
  ASSERT_EQ(object->accHitTest(447 + 160, 435 + 8, &hit), S_OK);
  EXPECT_EQ(hit.lVal, kChildBar);
  form->Show();
  EXPECT_EQ(StateOf(object.get(), kChildTitle), STATE_SYSTEM_READONLY);

  // A client that still holds the object after the window went is told so.
  form.reset();
  UniqueBstr text;
  EXPECT_EQ(object->get_accName(Child(CHILDID_SELF), text.put()), CO_E_OBJNOTCONNECTED);
  EXPECT_EQ(StateOf(object.get(), kChildBar), -1);
}

TEST_F(ScreenReader, AnotherProcessReadsTheRunAndHearsEveryStep) {
  ArchiveContents contents;
  contents.germanTexts = kTexts;
  const std::string archive = MediumArchive(contents);
  MakeMedium(medium_, true, &archive);

  Reading seen;
  Reading::current = &seen;
  HWINEVENTHOOK hook = nullptr;
  RunOptions options = FromTheMedium();
  options.onStart = [&](const PROCESS_INFORMATION& process) {
    hook = SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_VALUECHANGE, nullptr,
                           &Reading::Count, process.dwProcessId, 0, WINEVENT_OUTOFCONTEXT);
  };
  options.watch = [&](DWORD processId) { seen.Poll(processId); };
  RunResult run = RunSetup(options);
  if (hook) UnhookWinEvent(hook);
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 259u);
  ASSERT_NE(hook, nullptr);

  ASSERT_TRUE(seen.looked) << "the bar's value was never read past 0";
  EXPECT_EQ(seen.name, kTitleRead);
  EXPECT_EQ(seen.description, kBodyRead);
  EXPECT_EQ(seen.childNames[0], kTitleRead);
  EXPECT_EQ(seen.childNames[1], kBodyRead);
  EXPECT_EQ(seen.childNames[2], kWaitRead);
  EXPECT_EQ(seen.childCount, 4);
  EXPECT_EQ(std::vector<LONG>(seen.roles, seen.roles + 4),
            std::vector<LONG>({ROLE_SYSTEM_STATICTEXT, ROLE_SYSTEM_STATICTEXT,
                               ROLE_SYSTEM_STATICTEXT, ROLE_SYSTEM_PROGRESSBAR}));

  // The value rose, step by step, to 100 (what a poll sees of it).
  std::string values;
  for (int v : seen.values) values += std::to_string(v) + " ";
  ASSERT_GE(seen.values.size(), 2u) << values;
  EXPECT_TRUE(std::is_sorted(seen.values.begin(), seen.values.end())) << values;
  EXPECT_EQ(seen.values.back(), 100) << values;
  // One value change per step (101 steps), one name change per text.
  EXPECT_GE(seen.valueChanges, 51);
  EXPECT_LE(seen.valueChanges, 101);
  for (LONG id = kChildTitle; id <= kChildWait; ++id) EXPECT_GE(seen.nameChanges[id], 1) << id;

  // The object went with the process: a call fails as the platform's
  // proxies fail (Wine: the server is unavailable), nothing crashes.
  UniqueBstr text;
  const HRESULT after = seen.object->get_accName(Child(CHILDID_SELF), text.put());
  EXPECT_TRUE(after == RPC_E_DISCONNECTED || after == CO_E_OBJNOTCONNECTED ||
              after == HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE))
      << std::hex << after;
}
