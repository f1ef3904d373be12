#include "app/unhandled_error.h"

#include <string>

namespace tavrelo {

void ShowUnhandledError(UiServices& ui, std::exception_ptr error) {
    std::string text;
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        text = e.what();
    } catch (...) {
    }
    ui.ShowMessage(text);
}

void RunHandler(UiServices& ui, const std::function<void()>& handler) {
    try {
        handler();
    } catch (...) {
        ShowUnhandledError(ui, std::current_exception());
    }
}

}  // namespace tavrelo
