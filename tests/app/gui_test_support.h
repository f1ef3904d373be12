#pragma once

#include <unistd.h>

#include <QApplication>
#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/cp1251.h"
#include "platform/qt/ui_services.h"

namespace tavrelo::testing {

// One QApplication for the whole test binary (QT_QPA_PLATFORM=offscreen comes from CTest).
inline QApplication& EnsureApplication() {
    static int argc = 1;
    static char name[] = "tavrelo-test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        auto* a = new QApplication(argc, argv);
        QApplication::setApplicationName(QStringLiteral("tavrelo"));
        QApplication::setQuitOnLastWindowClosed(false);
        return a;
    }();
    return *app;
}

// Records what the windows would have shown and answers the dialogs; never blocks.
class RecordingUi : public UiServices {
  public:
    void ShowMessage(std::string_view text) override {
        messages.push_back(Cp1251ToUtf8(text));
        if (on_message) on_message(messages.back());
    }
    void ProcessMessages() override {
        ++pumps;
        QCoreApplication::processEvents();
        if (on_pump) on_pump();
    }
    void Block(std::chrono::milliseconds duration) override { blocks.push_back(duration); }
    std::optional<std::filesystem::path> ChooseSaveFile(std::string_view filter,
                                                        std::string_view initial_name,
                                                        std::string_view default_suffix) override {
        save_requests.push_back(
            {std::string(filter), std::string(initial_name), std::string(default_suffix)});
        if (!save_answer) return std::nullopt;
        return WithDefaultSuffix(*save_answer, default_suffix);
    }

    struct SaveRequest {
        std::string filter, initial_name, default_suffix;
    };
    std::vector<std::string> messages;  // UTF-8
    std::vector<std::chrono::milliseconds> blocks;
    std::vector<SaveRequest> save_requests;
    std::optional<std::filesystem::path> save_answer;
    int pumps = 0;
    std::function<void()> on_pump;
    std::function<void(const std::string&)> on_message;
};

// A fresh folder made the current directory for one test, the previous one restored after.
class ScopedFolder {
  public:
    explicit ScopedFolder(const std::string& name)
        : previous_(std::filesystem::current_path()),
          path_(std::filesystem::temp_directory_path() /
                ("tavrelo-" + name + "-" + std::to_string(::getpid()))) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
        std::filesystem::current_path(path_);
    }
    ~ScopedFolder() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

inline QString U(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace tavrelo::testing
