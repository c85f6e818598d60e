// The prompts of a run no user watches (the command-line tool): messages are
// kept, and written to stderr while echo is on; each question of the log's
// rules has its fixed answer, chosen here on purpose.
#pragma once
#include <string>

#include "log/ui.h"

class UnattendedUi : public Ui {
 public:
  // Write each message to stderr as "tamarack-cli: text" (CR LF as blanks).
  bool echo = true;
  // Every message so far, joined by "; ".
  std::string messages;

  // The answer of a question asked without a user:
  //  OtherContestLog  Yes     a log of another contest is read all the same
  //  ChangeSetting    No      the program folder's settings are never changed
  //  RestampLog       No      a saved log keeps the contest number it has
  //  Overwrite        No      no file is replaced that was not named
  //  SaveChanged      No      nothing is saved that was not asked for
  //  DiscardChanged   Yes     the command named the log to open
  //  ConfirmAppend,
  //  ConfirmSave,
  //  ConfirmSaveAs    Ok      the command itself was the request
  //  SaveOnExit       No      as SaveChanged
  static Answer answerOf(Question q);

  Answer question(Question q, std::string_view text, Buttons buttons, Icon icon,
                  std::string_view title) override;
  // Messages (an OK button) are kept; any other question of a window, which
  // an unattended run never opens, is declined.
  Answer ask(std::string_view text, Buttons buttons, Icon icon, std::string_view title) override;
  std::optional<std::string> openFile(const FileDialogOptions&) override { return std::nullopt; }
  std::optional<std::string> saveFile(const FileDialogOptions&) override { return std::nullopt; }
};
