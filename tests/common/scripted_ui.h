// A Ui whose answers are scripted and which records every message.
#pragma once
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "log/ui.h"

class ScriptedUi : public Ui {
 public:
  struct Message {
    std::string text;
    Buttons buttons;
    Icon icon;
    std::string title;
  };
  std::vector<Message> messages;
  std::deque<Answer> answers;                       // default: Ok / Yes
  std::deque<std::optional<std::string>> files;     // default: cancelled
  std::vector<FileDialogOptions> dialogs;
  // Runs while a message is up, before it is answered.
  std::function<void(const Message&)> whileShown;

  Answer ask(std::string_view text, Buttons buttons, Icon icon, std::string_view title) override {
    messages.push_back({std::string(text), buttons, icon, std::string(title)});
    if (whileShown) whileShown(messages.back());
    if (!answers.empty()) {
      Answer a = answers.front();
      answers.pop_front();
      return a;
    }
    return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::Yes : Answer::Ok;
  }
  std::optional<std::string> openFile(const FileDialogOptions& dialog) override { return next(dialog); }
  std::optional<std::string> saveFile(const FileDialogOptions& dialog) override { return next(dialog); }

 private:
  std::optional<std::string> next(const FileDialogOptions& dialog) {
    dialogs.push_back(dialog);
    if (files.empty()) return std::nullopt;
    auto f = files.front();
    files.pop_front();
    return f;
  }
};
