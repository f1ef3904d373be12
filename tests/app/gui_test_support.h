#pragma once

#include <unistd.h>

#include <QApplication>
#include <QPrinter>
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
    std::optional<std::filesystem::path> ChooseOpenFile(std::string_view filter) override {
        open_filters.push_back(std::string(filter));
        return open_answer;
    }
    std::optional<std::string> AskText(std::string_view title, std::string_view prompt,
                                       std::string_view initial) override {
        questions.push_back(Cp1251ToUtf8(title) + "|" + Cp1251ToUtf8(prompt) + "|" +
                            Cp1251ToUtf8(initial));
        if (!text_answer) return std::nullopt;
        return Utf8ToCp1251(*text_answer);
    }
    std::optional<ChoiceAndText> AskChoiceAndText(std::string_view title, std::string_view prompt,
                                                  const std::vector<std::string>& items) override {
        std::string question = Cp1251ToUtf8(title) + "|" + Cp1251ToUtf8(prompt);
        for (const std::string& item : items) question += "|" + Cp1251ToUtf8(item);
        questions.push_back(question);
        if (!choice_answer) return std::nullopt;
        return ChoiceAndText{choice_answer->first, Utf8ToCp1251(choice_answer->second)};
    }
    // Both print a PDF into `print_file` when a test names one, as a printer would be painted.
    bool Print(const std::function<void(QPrinter&)>& paint) override {
        ++prints;
        return PrintToFile(paint);
    }
    void PrintPreview(const std::function<void(QPrinter&)>& paint) override {
        ++previews;
        PrintToFile(paint);
    }
    bool PrintToFile(const std::function<void(QPrinter&)>& paint) {
        if (!print_file) return false;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(print_file->string()));
        paint(printer);
        return true;
    }

    struct SaveRequest {
        std::string filter, initial_name, default_suffix;
    };
    std::vector<std::string> messages;  // UTF-8
    std::vector<std::chrono::milliseconds> blocks;
    std::vector<SaveRequest> save_requests;
    std::optional<std::filesystem::path> save_answer;
    std::vector<std::string> open_filters;
    std::optional<std::filesystem::path> open_answer;
    std::vector<std::string> questions;                        // UTF-8, "title|prompt|..."
    std::optional<std::string> text_answer;                    // UTF-8
    std::optional<std::pair<int, std::string>> choice_answer;  // item, UTF-8 text
    std::optional<std::filesystem::path> print_file;
    int prints = 0;
    int previews = 0;
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
