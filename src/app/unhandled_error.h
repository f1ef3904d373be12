#pragma once

#include <exception>
#include <functional>

#include "platform/qt/ui_services.h"

namespace tavrelo {

// The application's last line: an error that no handler caught is shown in a message box with
// its text (an empty text when it carries none), and the program goes on.
void ShowUnhandledError(UiServices& ui, std::exception_ptr error);

// Runs one event handler under that display. Every handler the toolkit calls goes through here,
// so no exception ever unwinds through Qt's own frames.
void RunHandler(UiServices& ui, const std::function<void()>& handler);

}  // namespace tavrelo
