// The open tool windows by their OpenDialogNo, so that the main window's Esc
// and double click reach the one that is open. The document's OpenDialogNo
// follows what is registered.
#pragma once
#include <QPointer>
#include <QWidget>
#include <array>
#include <cstdint>

class DialogRegistry {
 public:
  explicit DialogRegistry(std::int16_t& openDialogNo) : openDialogNo_(openDialogNo) {}

  // Registers w under no and makes it the open dialog.
  void add(int no, QWidget* w) {
    openDialogNo_ = static_cast<std::int16_t>(no);
    if (inRange(no)) windows_[static_cast<std::size_t>(no)] = w;
  }
  void remove(int no) {
    if (inRange(no)) windows_[static_cast<std::size_t>(no)] = nullptr;
    openDialogNo_ = 0;
  }
  QWidget* find(int no) const { return inRange(no) ? windows_[static_cast<std::size_t>(no)] : nullptr; }

 private:
  static bool inRange(int no) { return no >= 1 && no < static_cast<int>(kSlots); }
  static constexpr std::size_t kSlots = 20;
  std::int16_t& openDialogNo_;
  std::array<QPointer<QWidget>, kSlots> windows_{};
};
