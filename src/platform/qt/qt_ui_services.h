#pragma once

#include "platform/qt/ui_services.h"

namespace tavrelo {

// The services as Qt Widgets gives them.
class QtUiServices final : public UiServices {
  public:
    void ShowMessage(std::string_view text) override;
    void ProcessMessages() override;
    void Block(std::chrono::milliseconds duration) override;
    std::optional<std::filesystem::path> ChooseSaveFile(std::string_view filter,
                                                        std::string_view initial_name,
                                                        std::string_view default_suffix) override;
    std::optional<std::filesystem::path> ChooseOpenFile(std::string_view filter) override;
    std::optional<std::string> AskText(std::string_view title, std::string_view prompt,
                                       std::string_view initial) override;
    std::optional<ChoiceAndText> AskChoiceAndText(std::string_view title, std::string_view prompt,
                                                  const std::vector<std::string>& items) override;
    bool Print(const std::function<void(QPrinter&)>& paint) override;
    void PrintPreview(const std::function<void(QPrinter&)>& paint) override;
};

}  // namespace tavrelo
