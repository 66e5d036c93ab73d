#include "WineTestSupport.h"

#include "runtime/Application.h"
#include "runtime/core/Failures.h"
#include "ui/Form.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

TEST(Application, FailureInsideAWindowProcedureIsKeptAndRaisedAfterDispatch) {
  TApplication app;
  LRESULT result = app.Guarded([]() -> LRESULT { throw EReadError("Stream-Lesefehler"); });
  EXPECT_EQ(result, 0);
  EXPECT_THROW(app.RaisePending(), EReadError);
  EXPECT_NO_THROW(app.RaisePending());
}

namespace {

class PlainForm : public TForm {
public:
  PlainForm() { CreateForm("ApplicationTestForm", 10, 10, 50, 30, false); }
};

}  // namespace

TEST(Application, TheHiddenWindowIsTheTaskbarEntryWhileAFormIsVisible) {
  ApplicationScope scope;
  const HWND app = Application->Handle();
  char title[16] = {};
  GetWindowTextA(app, title, sizeof title);
  EXPECT_STREQ(title, "Setup");
  EXPECT_EQ(GetWindow(app, GW_OWNER), nullptr) << "an unowned window gets the entry";
  EXPECT_TRUE(GetWindowLongPtrA(app, GWL_STYLE) & WS_CAPTION);
  EXPECT_FALSE(GetWindowLongPtrA(app, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  RECT r = {};
  ASSERT_TRUE(GetWindowRect(app, &r));
  EXPECT_TRUE(IsRectEmpty(&r)) << "nothing of it is on the screen";

  PlainForm first;
  PlainForm second;
  EXPECT_EQ(GetWindow(first.Handle(), GW_OWNER), app) << "owned windows get no entry of their own";
  EXPECT_FALSE(GetWindowLongPtrA(first.Handle(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
  EXPECT_FALSE(IsWindowVisible(app)) << "no window visible yet";

  first.Show();
  EXPECT_TRUE(IsWindowVisible(app));
  second.Show();
  ShowWindow(first.Handle(), SW_HIDE);
  EXPECT_TRUE(IsWindowVisible(app)) << "one window is still visible";
  ShowWindow(second.Handle(), SW_HIDE);
  EXPECT_FALSE(IsWindowVisible(app));
  EXPECT_NE(GetActiveWindow(), app) << "showing the entry does not activate it";
}

namespace {

// Notes, as it goes, its number and whether the window that owns it still exists.
class CountedForm : public PlainForm {
public:
  static inline std::vector<std::pair<int, bool>> gone;
  CountedForm() : number_(static_cast<int>(++made)) {}
  ~CountedForm() override { gone.emplace_back(number_, IsWindow(GetWindow(Handle(), GW_OWNER)) != FALSE); }

private:
  static inline int made = 0;
  int number_;
};

}  // namespace

TEST(Application, OwnsTheFormsItCreatesAndDestroysThemNewestFirstBeforeItsWindow) {
  HWND window;
  {
    ApplicationScope scope;
    window = scope.app.CreateForm<CountedForm>()->Handle();
    scope.app.CreateForm<CountedForm>();
    EXPECT_TRUE(CountedForm::gone.empty());
  }
  EXPECT_EQ(CountedForm::gone, (std::vector<std::pair<int, bool>>{{2, true}, {1, true}}));
  EXPECT_FALSE(IsWindow(window));
}
