#include "runtime/core/FailureReport.h"

#include <gtest/gtest.h>

TEST(DefaultFailureReport, NamesClassModuleAndRelativeAddressAndEndsTheMessage) {
  EXPECT_EQ(DefaultFailureReportText("ERangeError", "D:\\Setup\\Setup.exe", 0x1A2B,
                                     "Fehler bei Bereichspr\xFC" "fung"),
            "Exception ERangeError in Modul Setup.exe bei 00001A2B.\r\n"
            "Fehler bei Bereichspr\xFC" "fung.\r\n");
  EXPECT_EQ(DefaultFailureReportText("EOleSysError", "Setup.exe", 0, "Done."),
            "Exception EOleSysError in Modul Setup.exe bei 00000000.\r\nDone.\r\n");
  EXPECT_EQ(DefaultFailureReportText("Exception", "C:\\a\\b.dll", 0xDEADBEEF, ""),
            "Exception Exception in Modul b.dll bei DEADBEEF.\r\n\r\n");
}

TEST(OleFailureMessage, TakesDescriptionThenSystemTextTrimmedElseTheCode) {
  EXPECT_EQ(OleFailureMessage("Archive locked. \r\n", "Unspecified error", 0x80004005u),
            "Archive locked");
  EXPECT_EQ(OleFailureMessage("", "Class not registered.\r\n", 0x80040154u),
            "Class not registered");
  EXPECT_EQ(OleFailureMessage(" .", "\r\n", 0x8ABCDEF0u), "OLE-Fehler 8abcdef0");
}
