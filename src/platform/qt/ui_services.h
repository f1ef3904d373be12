#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

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
};

// `path` with ".suffix" appended when its file name has no extension, as the save dialog does
// for a name typed without one.
std::filesystem::path WithDefaultSuffix(const std::filesystem::path& path, std::string_view suffix);

}  // namespace tavrelo
