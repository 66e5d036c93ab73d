#include "runtime/Application.h"
#include "runtime/core/Failures.h"

#include <gtest/gtest.h>

TEST(Application, FailureInsideAWindowProcedureIsKeptAndRaisedAfterDispatch) {
  TApplication app;
  LRESULT result = app.Guarded([]() -> LRESULT { throw EReadError("Stream-Lesefehler"); });
  EXPECT_EQ(result, 0);
  EXPECT_THROW(app.RaisePending(), EReadError);
  EXPECT_NO_THROW(app.RaisePending());
}
