// Not a test: pictures of the tape viewer and of its tape check for the README, drawn by the
// widgets themselves (no display server needed: QT_QPA_PLATFORM=offscreen works).
//
//   viewer_screenshots TAPE.xml OUT_DIR
#include <QApplication>
#include <QPixmap>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "app/desktop.h"
#include "app/viewer_window.h"
#include "common/cp1251.h"

namespace {

// Answers nothing and shows messages on the terminal: the pictures need no dialog.
class SilentUi final : public tavrelo::UiServices {
  public:
    void ShowMessage(std::string_view text) override {
        std::fprintf(stderr, "%s\n", tavrelo::Cp1251ToUtf8(text).c_str());
    }
    void ProcessMessages() override { QCoreApplication::processEvents(); }
    void Block(std::chrono::milliseconds) override {}
    std::optional<std::filesystem::path> ChooseSaveFile(std::string_view, std::string_view,
                                                        std::string_view) override {
        return std::nullopt;
    }
    std::optional<std::filesystem::path> ChooseOpenFile(std::string_view) override {
        return std::nullopt;
    }
    std::optional<std::string> AskText(std::string_view, std::string_view,
                                       std::string_view) override {
        return std::nullopt;
    }
    std::optional<ChoiceAndText> AskChoiceAndText(std::string_view, std::string_view,
                                                  const std::vector<std::string>&) override {
        return std::nullopt;
    }
    bool Print(const std::function<void(QPrinter&)>&) override { return false; }
    void PrintPreview(const std::function<void(QPrinter&)>&) override {}
};

bool Shoot(QWidget& window, const std::filesystem::path& file) {
    QCoreApplication::processEvents();
    if (!window.grab().save(QString::fromStdString(file.string()), "PNG")) {
        std::fprintf(stderr, "viewer_screenshots: cannot save %s\n", file.c_str());
        return false;
    }
    std::printf("%s\n", file.c_str());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: viewer_screenshots TAPE.xml OUT_DIR\n");
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tavrelo"));
    SilentUi ui;
    tavrelo::AppContext context(ui);
    tavrelo::ViewerWindow viewer(context);
    if (!viewer.OpenFile(argv[1])) return 1;
    viewer.show();
    const std::filesystem::path out = argv[2];
    if (!Shoot(viewer, out / "screenshot-viewer.png")) return 1;
    viewer.Audit();
    return Shoot(*viewer.AuditWindow(), out / "screenshot-audit.png") ? 0 : 1;
}
