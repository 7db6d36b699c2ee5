#pragma once

#include <clocale>
#include <cstdlib>
#include <string>

#include "scratch_dir.h"

// A number format with a decimal comma, as every shipped language's locale
// has, compiled once per test program into a scratch directory (so no locale
// needs to be installed system-wide) and made the C library's number format
// for as long as the guard lives.
class CommaLocale {
 public:
  CommaLocale() {
    static const bool built = Build();
    active_ = built && std::setlocale(LC_NUMERIC, "comma.UTF-8") != nullptr;
  }
  ~CommaLocale() { std::setlocale(LC_NUMERIC, "C"); }
  CommaLocale(const CommaLocale&) = delete;
  CommaLocale& operator=(const CommaLocale&) = delete;

  // False when the locale could not be built or chosen.
  bool Active() const { return active_; }

 private:
  static bool Build() {
    static ScratchDir dir;
    const std::string source = dir.Write("comma.src",
                                         "LC_NUMERIC\ndecimal_point \",\"\nthousands_sep \".\"\n"
                                         "grouping 3;3\nEND LC_NUMERIC\n");
    // -c: the other categories are left undefined on purpose.
    const std::string command =
        "localedef -c -i '" + source + "' -f UTF-8 '" + dir.Path("comma.UTF-8") + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) == -1) return false;
    setenv("LOCPATH", dir.Dir().c_str(), 1);
    return true;
  }

  bool active_ = false;
};
