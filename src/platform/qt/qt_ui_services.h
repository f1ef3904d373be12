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
};

}  // namespace tavrelo
