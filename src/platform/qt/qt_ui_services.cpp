#include "platform/qt/qt_ui_services.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QThread>

#include "platform/qt/qt_text.h"

namespace tavrelo {

void QtUiServices::ShowMessage(std::string_view text) {
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), ToQString(text),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

void QtUiServices::ProcessMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void QtUiServices::Block(std::chrono::milliseconds duration) {
    QThread::msleep(static_cast<unsigned long>(duration.count()));
}

std::optional<std::filesystem::path> QtUiServices::ChooseSaveFile(std::string_view filter,
                                                                  std::string_view initial_name,
                                                                  std::string_view default_suffix) {
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // An existing file is replaced without a question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilter(ToQString(filter));
    dialog.setDefaultSuffix(ToQString(default_suffix));
    dialog.selectFile(ToQString(initial_name));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) return std::nullopt;
    return WithDefaultSuffix(std::filesystem::path(files.front().toStdString()),
                             std::string(default_suffix));
}

}  // namespace tavrelo
