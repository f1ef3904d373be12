#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QPrinter;

namespace tavrelo {

// The toolkit services the windows' behaviour needs beyond their own widgets. The windows reach
// them only through this interface, so that tests can record what would have been shown and
// answer the dialogs themselves; nothing a test runs ever waits on a modal box.
// Texts are Windows-1251 bytes, as everywhere inside the program.
class UiServices {
  public:
    virtual ~UiServices() = default;

    // A modal message box with an OK button; returns once the operator has dismissed it.
    virtual void ShowMessage(std::string_view text) = 0;

    // Handles the window messages that are waiting, then returns.
    virtual void ProcessMessages() = 0;

    // Blocks the user-interface thread without handling any messages.
    virtual void Block(std::chrono::milliseconds duration) = 0;

    // The save-file dialog: the path the operator confirmed, or nothing when cancelled.
    virtual std::optional<std::filesystem::path> ChooseSaveFile(
        std::string_view filter, std::string_view initial_name,
        std::string_view default_suffix) = 0;

    // The open-file dialog for an existing file: the chosen path, or nothing when cancelled.
    virtual std::optional<std::filesystem::path> ChooseOpenFile(std::string_view filter) = 0;

    // A one-line input box: the text the operator confirmed, or nothing when cancelled.
    virtual std::optional<std::string> AskText(std::string_view title, std::string_view prompt,
                                               std::string_view initial) = 0;

    // An input box with a choice among `items` beside the text: the chosen item and the text,
    // or nothing when cancelled.
    struct ChoiceAndText {
        int item = 0;
        std::string text;
    };
    virtual std::optional<ChoiceAndText> AskChoiceAndText(
        std::string_view title, std::string_view prompt, const std::vector<std::string>& items) = 0;

    // The print dialog; when the operator confirms, `paint` draws the pages on the printer chosen
    // and true is returned.
    virtual bool Print(const std::function<void(QPrinter&)>& paint) = 0;

    // The print preview of the pages `paint` draws; returns when the preview is closed.
    virtual void PrintPreview(const std::function<void(QPrinter&)>& paint) = 0;
};

// `path` with ".suffix" appended when its file name has no extension, as the save dialog does
// for a name typed without one.
std::filesystem::path WithDefaultSuffix(const std::filesystem::path& path, std::string_view suffix);

}  // namespace tavrelo
