// What a screen reader reads of the progress window: the window named by
// its title and described by its body, three static texts named as they
// are drawn and a progress bar whose value is a percentage. (What another
// process reads during a run, and the events, are pinned with the runs.)
#include "Accessible.h"
#include "SetupMedium.h"
#include "WineTestSupport.h"

#include "app/Main.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace setup_test;

namespace {

// The progress window's texts: the title with accelerator characters, the
// body with both placeholders and a line break ("\n" in a language file).
const std::map<int32_t, std::string> kTexts = {
    {1000, "Setup && Co &Demo"},
    {1001, "%PRODUKTNAME% %PRODUKTVERSION%\\nwird f\xFCr Sie & andere vorbereitet."},
    {1002, "Bitte warten ..."}};
const wchar_t kTitleRead[] = L"Setup & Co Demo";
const wchar_t kBodyRead[] = L"Demo Produkt 1.0 wird f\u00fcr Sie & andere vorbereitet.";
const wchar_t kWaitRead[] = L"Bitte warten ...";

using ScreenReader = SetupRunTest;  // a folder of its own for the files

}  // namespace

TEST_F(ScreenReader, ItsChildrenReadTheTextsAsDrawnWhereTheLayoutPutsThem) {
  const ComApartment com;
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
