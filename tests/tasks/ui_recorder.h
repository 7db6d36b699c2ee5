#pragma once

#include <map>
#include <string>
#include <vector>

#include "Inc/UiSeam.h"

// Installs UI hooks that record every message box and status text and answer
// file dialogs from a queue; the defaults come back when it goes.
class UiRecorder {
 public:
  UiRecorder() {
    UiHooks hooks;
    hooks.showMessage = [this](const MessageRequest& request) {
      messages.push_back(request);
      if (request.buttons == MessageButtons::Ok || questionAnswers.empty()) return MessageAnswer::Ok;
      const MessageAnswer answer = questionAnswers.front();
      questionAnswers.erase(questionAnswers.begin());
      return answer;
    };
    hooks.askFileName = [this](const FileDialogRequest& request) {
      dialogs.push_back(request);
      return NextAnswer();
    };
    hooks.askFileNames = [this](const FileDialogRequest& request) {
      dialogs.push_back(request);
      if (fileSets.empty()) {
        std::string answer = NextAnswer();
        return answer.empty() ? std::vector<std::string>{} : std::vector<std::string>{answer};
      }
      std::vector<std::string> set = fileSets.front();
      fileSets.erase(fileSets.begin());
      return set;
    };
    hooks.setStatusText = [this](int field, const std::string& text) { status[field] = text; };
    InstallUiHooks(hooks);
  }
  ~UiRecorder() { InstallUiHooks({}); }
  UiRecorder(const UiRecorder&) = delete;
  UiRecorder& operator=(const UiRecorder&) = delete;

  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> texts;
    for (const MessageRequest& message : messages) texts.push_back(message.text);
    return texts;
  }

  std::vector<MessageRequest> messages;
  std::vector<FileDialogRequest> dialogs;
  std::vector<std::string> answers;  // file dialog answers in order; empty = cancelled
  // Answers of dialogs that take several files, before `answers` is used.
  std::vector<std::vector<std::string>> fileSets;
  std::map<int, std::string> status;
  // Answers of questions in order; without one a question gets Ok, which
  // neither agrees nor replaces.
  std::vector<MessageAnswer> questionAnswers;

 private:
  std::string NextAnswer() {
    if (answers.empty()) return {};
    std::string answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  }
};
