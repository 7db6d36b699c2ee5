#pragma once

#include <string>
#include <vector>

#include "Inc/UiSeam.h"

// While it lives, answers every yes/no question with `answer`, cancels file
// dialogs, and keeps what the program asked and opened, so tests read back
// what a user would have seen.
class UiAnswers {
 public:
  UiAnswers() {
    UiHooks hooks;
    hooks.showMessage = [this](const MessageRequest& request) {
      messages.push_back(request);
      return request.buttons == MessageButtons::YesNo ? answer : MessageAnswer::Ok;
    };
    hooks.askFileName = [this](const FileDialogRequest& request) {
      dialogs.push_back(request);
      return std::string();
    };
    hooks.openWithShell = [this](const std::string& target) { opened.push_back(target); };
    InstallUiHooks(std::move(hooks));
  }
  ~UiAnswers() { InstallUiHooks({}); }
  UiAnswers(const UiAnswers&) = delete;
  UiAnswers& operator=(const UiAnswers&) = delete;

  void Forget() {
    messages.clear();
    dialogs.clear();
    opened.clear();
  }

  std::vector<MessageRequest> messages;
  std::vector<FileDialogRequest> dialogs;
  std::vector<std::string> opened;
  MessageAnswer answer = MessageAnswer::No;
};
