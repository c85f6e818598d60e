#include "log/unattendedui.h"

#include <cstdio>

Answer UnattendedUi::answerOf(Question q) {
  switch (q) {
    case Question::OtherContestLog:
    case Question::DiscardChanged:
    case Question::ReadTornLog:
      return Answer::Yes;
    case Question::ConfirmAppend:
    case Question::ConfirmSave:
    case Question::ConfirmSaveAs:
      return Answer::Ok;
    case Question::ChangeSetting:
    case Question::RestampLog:
    case Question::Overwrite:
    case Question::SaveChanged:
    case Question::SaveOnExit:
    case Question::RecoverJournal:
      break;
  }
  return Answer::No;
}

Answer UnattendedUi::question(Question q, std::string_view, Buttons, Icon, std::string_view) {
  return answerOf(q);
}

Answer UnattendedUi::ask(std::string_view text, Buttons buttons, Icon, std::string_view) {
  if (buttons != Buttons::Ok) return buttons == Buttons::OkCancel ? Answer::Cancel : Answer::No;
  if (!messages.empty()) messages += "; ";
  messages += text;
  if (echo) {
    std::string t;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
        t += ' ';
        ++i;
      } else {
        t += text[i];
      }
    }
    std::fprintf(stderr, "tamarack-cli: %s\n", t.c_str());
  }
  return Answer::Ok;
}
