#include <QApplication>
#include <exception>

#include "app/desktop.h"
#include "app/unhandled_error.h"
#include "platform/qt/qt_ui_services.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tavrelo"));
    // The program ends when the main window closes, not when its last visible window does
    // (the progress window may be the only one for a moment).
    QApplication::setQuitOnLastWindowClosed(false);

    tavrelo::QtUiServices ui;
    try {
        tavrelo::Desktop desktop(ui);
        desktop.Form3().OnClosed = [] { QCoreApplication::quit(); };
        desktop.Form3().show();
        desktop.Form3().activateWindow();
        return QApplication::exec();
    } catch (...) {
        // An error that escapes the message loop itself is shown, then the program ends.
        tavrelo::ShowUnhandledError(ui, std::current_exception());
        return 1;
    }
}
