// Drives the real windows against a running tavrelo-register on the display Qt is given
// (Xvfb, from scripts/screenshots.sh) and saves pictures of the main window and of the request
// window showing rendered documents, taken from the display itself.
//
//   app_screenshots PORT OUT_DIR [FIRST LAST]
//
// Run it in a folder holding a Tavrelo.ini (the first-run message box would wait for a click).
#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QScreen>
#include <QThread>
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/desktop.h"
#include "platform/qt/qt_ui_services.h"

namespace {

void Settle(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
}

bool Shoot(QWidget& window, const std::filesystem::path& file) {
    window.raise();
    Settle(500);
    const QPixmap picture = window.screen()->grabWindow(window.winId());
    if (picture.isNull() || !picture.save(QString::fromStdString(file.string()), "PNG")) {
        std::fprintf(stderr, "app_screenshots: cannot save %s\n", file.c_str());
        return false;
    }
    std::printf("%s\n", file.c_str());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tavrelo"));
    QApplication::setQuitOnLastWindowClosed(false);
    if (argc != 3 && argc != 5) {
        std::fprintf(stderr, "usage: app_screenshots PORT OUT_DIR [FIRST LAST]\n");
        return 2;
    }
    const auto port = static_cast<std::uint16_t>(std::stoi(argv[1]));
    const std::filesystem::path out = argv[2];
    const QString first = QString::fromLatin1(argc == 5 ? argv[3] : "8");
    const QString last = QString::fromLatin1(argc == 5 ? argv[4] : "12");

    tavrelo::QtUiServices ui;
    tavrelo::DesktopSettings settings;
    settings.register_ports = {port, port};
    tavrelo::Desktop desktop(ui, settings);
    tavrelo::TForm3& main = desktop.Form3();
    main.show();
    main.activateWindow();
    Settle(2000);  // the first activation blocks for one second and reads Tavrelo.ini
    main.Button3->click();
    Settle(500);
    if (!main.IsConnected()) {
        std::fprintf(stderr, "app_screenshots: not connected to port %u\n", port);
        return 1;
    }
    bool ok = Shoot(main, out / "screenshot-main.png");

    tavrelo::TForm53& request = desktop.Form53();
    request.show();
    Settle(300);
    request.Edit1->setText(first);
    request.Edit2->setText(last);
    request.Button1->click();
    Settle(500);
    ok = Shoot(request, out / "screenshot-request.png") && ok;
    request.close();
    main.close();
    return ok ? 0 : 1;
}
