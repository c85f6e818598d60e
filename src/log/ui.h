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

class Ui {
 public:
  virtual ~Ui() = default;
  virtual Answer ask(std::string_view text, Buttons buttons = Buttons::Ok, Icon icon = Icon::None,
                     std::string_view title = kProgramTitle) = 0;
  // Shows text with an OK button.
  void tell(std::string_view text, Icon icon = Icon::None, std::string_view title = kProgramTitle) {
    ask(text, Buttons::Ok, icon, title);
  }
  // The chosen path, or nothing when cancelled.
  virtual std::optional<std::string> openFile(const FileDialogOptions& dialog) = 0;
  virtual std::optional<std::string> saveFile(const FileDialogOptions& dialog) = 0;
};
