#pragma once

#include <functional>
#include <string>
#include <vector>

// The one way the core reaches the user: message boxes, file dialogs, the
// status bar and the desktop's opener. The application installs Qt hooks at
// start-up; tests install their own to answer and record.

enum class MessageIcon { Error, Warning, Question, Information };
// ReplaceSkipCancel asks what to do with files that already exist.
enum class MessageButtons { Ok, YesNo, ReplaceSkipCancel };
enum class MessageAnswer { Ok, Yes, No, Replace, Skip, Cancel };

struct MessageRequest {
  std::string title;
  std::string text;
  MessageIcon icon = MessageIcon::Error;
  MessageButtons buttons = MessageButtons::Ok;
};

// Folder asks for an existing folder and has no filter.
enum class FileDialogKind { Open, Save, Folder };

struct FileDialogRequest {
  FileDialogKind kind = FileDialogKind::Open;
  std::string title;
  std::string filter;  // Qt filter syntax, e.g. "Text (*.txt)"
};

struct UiHooks {
  std::function<MessageAnswer(const MessageRequest&)> showMessage;
  std::function<std::string(const FileDialogRequest&)> askFileName;  // empty when cancelled
  std::function<void(int field, const std::string& text)> setStatusText;
  std::function<void(const std::string& pathOrUrl)> openWithShell;
  // An open dialog that takes several files; empty when cancelled.
  std::function<std::vector<std::string>(const FileDialogRequest&)> askFileNames;
  // A batch has ended with the summary box of that title and text.
  std::function<void(const std::string& title, const std::string& text)> batchFinished;
};

// Replaces the installed hooks; hooks left empty fall back to the defaults
// (messages answer OK, No or Cancel, dialogs are cancelled, the rest does nothing).
void InstallUiHooks(UiHooks hooks);

MessageAnswer ShowMessageBox(const std::string& title, const std::string& text, MessageIcon icon,
                             MessageButtons buttons = MessageButtons::Ok);
std::string AskFileName(const FileDialogRequest& request);
void SetStatusText(int field, const std::string& text);
void OpenWithShell(const std::string& pathOrUrl);
// Without its own hook this asks askFileName for one file.
std::vector<std::string> AskFileNames(const FileDialogRequest& request);
void TellBatchFinished(const std::string& title, const std::string& text);
