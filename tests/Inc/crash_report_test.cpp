#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "Inc/CrashReport.h"
#include "Inc/ErrorHandler.h"

namespace {

std::string Format(const CrashFacts& facts) {
  char buffer[8192];
  return std::string(buffer, FormatCrashReport(facts, buffer, sizeof buffer));
}

TEST(CrashReport, WritesTheTenLinesByteForByteWithZeroPaddedLocalTime) {
  CrashFacts facts;
  facts.exceptionCode = kExceptionIntDivideByZero;
  facts.sourcePosition = 1234;
  facts.generatedAt = {2009, 3, 5, 8, 9, 3};
  EXPECT_EQ(Format(facts),
            "----------------------------------\r\n"
            "Marrowind Flickpress Error Log\r\n"
            "----------------------------------\r\n"
            "Generated on 2009/03/05 at 08:09:03\r\n"
            "\r\n"
            "Error description: Attempted division by zero\r\n"
            "Module name: Main Module\r\n"
            "Line: 1234\r\n"
            "DLL error: \r\n"
            "EOF()\r\n");
}

TEST(CrashReport, NamesModulesByTheirSourcePathAndTakesTheLineFromTheLow24Bits) {
  CrashFacts facts;
  facts.sourcePosition = (static_cast<uint32_t>(MFLPX_MODULE_LANG) << 24) | 0xFFFFFFu;
  const std::string report = Format(facts);
  EXPECT_NE(report.find("Module name: /"), std::string::npos) << report;
  EXPECT_NE(report.find("/Inc/Lang.cpp\r\nLine: 16777215\r\n"), std::string::npos) << report;

  EXPECT_EQ(std::string(ModuleName(MFLPX_MODULE_MAIN)), "Main Module");
  EXPECT_TRUE(std::string(ModuleName(MFLPX_MODULE_ERROR_HANDLER)).ends_with("/Inc/ErrorHandler.cpp"));
  EXPECT_TRUE(std::string(ModuleName(MFLPX_MODULE_RESIZE)).ends_with("/Inc/Resize.cpp"));
  EXPECT_EQ(std::string(ModuleName(MFLPX_MODULE_RESIZE + 1)), "Main Module") << "the first index past the modules";
  EXPECT_EQ(std::string(ModuleName(200)), "Main Module");
}

TEST(CrashReport, DescribesCodesOutsideTheTableAsUnknown) {
  EXPECT_STREQ(DescribeException(kExceptionUnmapped), "UNKNOWN Error");
  EXPECT_STREQ(DescribeException(kExceptionIntOverflow), "UNKNOWN Error");
  EXPECT_STREQ(DescribeException(0), "No Error");
  EXPECT_STREQ(DescribeException(0xC000013A), "CONTROL_C_EXIT Lets the debugger know the user hit Ctrl-C. ");
}

TEST(CrashReport, SystemErrorTextIsEmptyForNoErrorAndForCodesWithoutText) {
  EXPECT_STREQ(SystemErrorText(0), "");
  EXPECT_STREQ(SystemErrorText(EACCES), "Permission denied");
  EXPECT_STREQ(SystemErrorText(99999), "");
  EXPECT_STREQ(SystemErrorText(-5), "");

  CrashFacts facts;
  facts.systemError = ENOENT;
  EXPECT_NE(Format(facts).find("\r\nDLL error: No such file or directory\r\nEOF()\r\n"), std::string::npos);
}

TEST(CrashReport, StopsAtTheEndOfASmallBuffer) {
  char buffer[48];
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(FormatCrashReport(CrashFacts{}, buffer, 40), 40u);
  EXPECT_EQ(std::string(buffer + 40, 8), "########");
}

// The notice names the folder that really holds the report, and never
// claims one was written when none could be.
TEST(CrashReport, NoticeNamesWhereTheReportIsAndTheSupportAddress) {
  const std::string opening = "Marrowind Flickpress has stopped running due to an error. ";
  const std::string ending = "' and we will try to fix the problem in the shortest time. Thank you for your "
                             "understanding.";
  struct Case {
    std::string reportDirectory;
    std::string middle;
  };
  const Case cases[] = {
      {"/opt/mflpx/", "An error log ('ErrorReport.log') was created in the program's directory, describing the "
                      "problem. You can send this report via email to 'support@"},
      {"/home/ann/.config/mflpx/", "An error log ('ErrorReport.log') was created in '/home/ann/.config/mflpx/', "
                                   "describing the problem. You can send this report via email to 'support@"},
      {"", "No error log could be written: no folder for it could be written to. You can describe the problem "
           "via email to 'support@"},
  };
  for (const Case& c : cases) {
    const std::string text = CrashNoticeText(c.reportDirectory, "/opt/mflpx/");
    EXPECT_TRUE(text.starts_with(opening + c.middle)) << text;
    EXPECT_TRUE(text.ends_with(ending)) << text;
  }
}

}  // namespace
