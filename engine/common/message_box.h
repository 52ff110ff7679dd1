// ShowMessageBox: the one way the engine and the console put a question or a
// failure before the user. The program supplies the handler (the console its
// dialog, the service its forward to the remote console, tests their own
// answer); without one the text goes to the standard error and the answer is
// OK. Flags and answers keep their numeric values because they travel in the
// service's messages.
#pragma once

#include <functional>
#include <string_view>

namespace tf {

// Buttons.
constexpr unsigned kMbOk = 0x00;
constexpr unsigned kMbOkCancel = 0x01;
constexpr unsigned kMbYesNo = 0x04;
// Icons.
constexpr unsigned kMbIconError = 0x10;
constexpr unsigned kMbIconQuestion = 0x20;
constexpr unsigned kMbIconExclamation = 0x30;
constexpr unsigned kMbIconInformation = 0x40;
// Answers.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

using MessageBoxHandler =
    std::function<int(std::string_view text, std::string_view caption, unsigned flags)>;

// Installs the handler (an empty one restores the default) and returns the
// one it replaces.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// Returns the button chosen.
int ShowMessageBox(std::string_view text, std::string_view caption, unsigned flags);

}  // namespace tf
