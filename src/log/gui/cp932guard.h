// Boxes that feed stored text refuse characters the files cannot hold
// (CP932 has no form for Hangul, emoji and many symbols): typed or pasted,
// such a character never enters the box and the user hears a beep.
//
//   RefuseNonCp932(Text5);   // once, when the box is built
//
// Works beside any keystroke filter of the box; keys without such a
// character (control keys included) pass untouched.
//
//   RefuseCharacters(Text2, isRefused, notice);   // more than CP932 lacks
#pragma once
#include <functional>

class QWidget;

// Installs the guard on a QLineEdit, a QPlainTextEdit, a QTextEdit or an
// editable QComboBox (its line edit). Other widgets are left alone.
void RefuseNonCp932(QWidget* box);

// The same guard refusing every character `refused` names (besides those
// CP932 cannot hold); `told` hears of each refusal, with the first refused
// character. Control keys and shortcuts always pass: they insert nothing.
void RefuseCharacters(QWidget* box, std::function<bool(char32_t)> refused,
                      std::function<void(char32_t)> told = {});
