#include "Inc/CrashReport.h"

#include <string.h>

#include "Inc/ErrorHandler.h"
#include "Inc/ProjectLinks.h"

namespace {

struct Description {
  uint32_t code;
  const char* text;
};

constexpr Description kDescriptions[] = {
    {0x00000000, "No Error"},
    {0x80000003, "BREAKPOINT A breakpoint was encountered."},
    {0x80000004,
     "SINGLE_STEP The CPU has signalled that one instruction has been executed.Only of interest to "
     "Debuggers"},
    {0xC0000005, "An attempted read or write to/from an address to which that process isn't allowed"},
    {0xC0000008,
     "INVALID_HANDLE The API call was passed a handle to a kernel object which was invalid -usually "
     "because that handle has already been closed."},
    {0xC000001D, "Try to execute an invalid instruction -such as MMX opcodes on a non MMX system"},
    {0xC0000025,
     "The exception filter returned EXCEPTION_CONTINUE_EXCEPTION when the exception raised isn't "
     "restartable"},
    {0xC0000026,
     "INVALID_DISPOSITION Whatever number the exception filter returned, it wasn't a value the OS "
     "knows about."},
    {0xC000008D,
     "FLOAT_DENORMAL_OPERAND One of the operands in a floating-point operation is too small to be "
     "represented in a floating-point value."},
    {0xC000008E, "FLOAT_DIVIDE_BY_ZERO The thread tried to divide a floating-point value by zero."},
    {0xC000008F,
     "FLOAT_INEXACT_RESULT The accuracy of the last floating point operation is worse than usual as "
     "it is impossible to represent in the float accurately,"},
    {0xC0000090, "FLOAT_INVALID_OPERATION Any other floating-point exception."},
    {0xC0000091, "FLOAT_OVERFLOW The result was too big to represent"},
    {0xC0000092,
     "FLOAT_STACK_CHECK A floating point stack overflowed or underflow. This related to the baroque "
     "design of the floating point unit."},
    {0xC0000093, "FLT_UNDERFLOW The result was too small to represent"},
    {0xC0000094, "Attempted division by zero"},
    {0xC0000096,
     "The instruction is not allowed in the current ring (inport, outport & control register "
     "manipulation usually)"},
    {0xC00000FD,
     "Stack overflow.Can occur during errant recursion, or when a function creates a particularly "
     "large array on the stack."},
    {0xC000013A, "CONTROL_C_EXIT Lets the debugger know the user hit Ctrl-C. "},
    {0xC0000142, "EXCEPTION_DLL_Initialisation_Failure raised when DllMain() returns false (?)"},
};

// Source paths handed in by the build, so the report can name a module's file.
constexpr const char* kModuleSources[] = {
    "Main Module",
    MFLPX_SOURCE_ERROR_HANDLER,
    MFLPX_SOURCE_LANG,
    MFLPX_SOURCE_RESIZE,
};

constexpr std::size_t kMaxSystemErrorText = 255;

// Appends to a fixed buffer and silently stops at its end.
class ReportWriter {
 public:
  ReportWriter(char* buffer, std::size_t capacity) : buffer_(buffer), capacity_(capacity) {}

  ReportWriter& Text(const char* text) {
    while (*text != '\0' && used_ < capacity_) buffer_[used_++] = *text++;
    return *this;
  }
  ReportWriter& Number(uint32_t value, int minDigits = 1) {
    char digits[10];
    int count = 0;
    do {
      digits[count++] = static_cast<char>('0' + value % 10);
      value /= 10;
    } while (value != 0);
    while (count < minDigits) digits[count++] = '0';
    while (count > 0 && used_ < capacity_) buffer_[used_++] = digits[--count];
    return *this;
  }
  ReportWriter& Line(const char* text = "") { return Text(text).Text("\r\n"); }
  std::size_t Used() const { return used_; }

 private:
  char* buffer_;
  std::size_t capacity_;
  std::size_t used_ = 0;
};

uint32_t Unsigned(int value) { return value < 0 ? 0 : static_cast<uint32_t>(value); }

}  // namespace

const char* DescribeException(uint32_t code) {
  for (const Description& entry : kDescriptions) {
    if (entry.code == code) return entry.text;
  }
  return "UNKNOWN Error";
}

const char* ModuleName(uint32_t moduleIndex) {
  // Every index that is not one of the three modules is code of the main program.
  return moduleIndex < std::size(kModuleSources) ? kModuleSources[moduleIndex] : kModuleSources[0];
}

const char* SystemErrorText(int error) {
  if (error == 0) return "";
  // Reads glibc's fixed table: no locale, no buffer, unlike strerror.
  const char* text = strerrordesc_np(error);
  if (text == nullptr || strnlen(text, kMaxSystemErrorText) >= kMaxSystemErrorText) return "";
  return text;
}

std::size_t FormatCrashReport(const CrashFacts& facts, char* buffer, std::size_t capacity) {
  const char* const rule = "----------------------------------";
  const LocalDateTime& at = facts.generatedAt;
  ReportWriter report(buffer, capacity);
  report.Line(rule).Line("Marrowind Flickpress Error Log").Line(rule);
  report.Text("Generated on ").Number(Unsigned(at.year), 4).Text("/").Number(Unsigned(at.month), 2);
  report.Text("/").Number(Unsigned(at.day), 2).Text(" at ").Number(Unsigned(at.hour), 2);
  report.Text(":").Number(Unsigned(at.minute), 2).Text(":").Number(Unsigned(at.second), 2).Line();
  report.Line();
  report.Text("Error description: ").Line(DescribeException(facts.exceptionCode));
  report.Text("Module name: ").Line(ModuleName(facts.sourcePosition >> 24));
  report.Text("Line: ").Number(facts.sourcePosition & 0xFFFFFFu).Line();
  report.Text("DLL error: ").Line(SystemErrorText(facts.systemError));
  report.Line("EOF()");
  return report.Used();
}

std::string CrashNoticeText(const std::string& reportDirectory, const std::string& programDirectory) {
  const std::string fixApology = "' and we will try to fix the problem in the shortest time. Thank you for your understanding.";
  std::string text = "Marrowind Flickpress has stopped running due to an error. ";
  if (reportDirectory.empty())
    return text + "No error log could be written: no folder for it could be written to. You can describe the "
                  "problem via email to '" + kSupportEmail + fixApology;
  text += "An error log ('ErrorReport.log') was created in ";
  text += reportDirectory == programDirectory ? "the program's directory" : "'" + reportDirectory + "'";
  return text + ", describing the problem. You can send this report via email to '" + kSupportEmail + fixApology;
}
