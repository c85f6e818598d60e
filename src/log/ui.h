// The one small interface through which the program asks the user: message
// boxes and the file dialogs. The windows implement it with real dialogs;
// tests script the answers and read the exact texts.
#pragma once
#include <optional>
#include <string>
#include <string_view>

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Icon { None, Information, Question, Exclamation, Critical };
enum class Answer { Ok, Cancel, Yes, No };

struct FileDialogOptions {
  std::string title;        // empty: the dialog's own title
  std::string filter;       // "desc|*.ext|" form, as the windows give it
  int filterIndex = 1;
  std::string initialDir;
  std::string fileName;     // proposed name
  bool overwritePrompt = false;
};

inline constexpr std::string_view kProgramTitle = "Tamarack";

// The questions of the log's rules, by name, so that a run without a user
// (the command-line tool) answers each one on purpose instead of by its text.
enum class Question {
  OtherContestLog,  // read or append a log of another contest?
  ChangeSetting,    // then open the station data to change the contest?
  RestampLog,       // give a saved log the contest number of the setting?
  Overwrite,        // replace the file the save-name rule arrived at?
  SaveChanged,      // save the changed log before it is emptied?
  DiscardChanged,   // discard the changed log for another one?
  ConfirmAppend,    // the append command's OK
  ConfirmSave,      // the save command's OK
  ConfirmSaveAs,    // the save-as command's OK
  SaveOnExit,       // save the changed log before the program ends?
  RecoverJournal,   // replay the changes a crash left unsaved?
  ReadTornLog,      // go on with a log file whose last record is cut off?
};

class Ui {
 public:
  virtual ~Ui() = default;
  virtual Answer ask(std::string_view text, Buttons buttons = Buttons::Ok, Icon icon = Icon::None,
                     std::string_view title = kProgramTitle) = 0;
  // A question of the log's rules; a window shows it as any other.
  virtual Answer question(Question, std::string_view text, Buttons buttons, Icon icon = Icon::None,
                     std::string_view title = kProgramTitle) {
    return ask(text, buttons, icon, title);
  }
  // Shows text with an OK button.
  void tell(std::string_view text, Icon icon = Icon::None, std::string_view title = kProgramTitle) {
    ask(text, Buttons::Ok, icon, title);
  }
  // The chosen path, or nothing when cancelled.
  virtual std::optional<std::string> openFile(const FileDialogOptions& dialog) = 0;
  virtual std::optional<std::string> saveFile(const FileDialogOptions& dialog) = 0;
};
