#include "platform/qt/qt_ui_services.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
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

std::optional<std::filesystem::path> QtUiServices::ChooseOpenFile(std::string_view filter) {
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({ToQString(filter), QStringLiteral("*")});
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) return std::nullopt;
    return std::filesystem::path(files.front().toStdU16String());
}

std::optional<std::string> QtUiServices::AskText(std::string_view title, std::string_view prompt,
                                                 std::string_view initial) {
    bool accepted = false;
    const QString text =
        QInputDialog::getText(QApplication::activeWindow(), ToQString(title), ToQString(prompt),
                              QLineEdit::Normal, ToQString(initial), &accepted);
    if (!accepted) return std::nullopt;
    return ToCp1251(text);
}

std::optional<UiServices::ChoiceAndText> QtUiServices::AskChoiceAndText(
    std::string_view title, std::string_view prompt, const std::vector<std::string>& items) {
    QDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(ToQString(title));
    auto* layout = new QFormLayout(&dialog);
    auto* choice = new QComboBox(&dialog);
    for (const std::string& item : items) choice->addItem(ToQString(item));
    auto* edit = new QLineEdit(&dialog);
    layout->addRow(choice, edit);
    layout->addRow(new QLabel(ToQString(prompt), &dialog));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addRow(buttons);
    edit->setFocus();
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return ChoiceAndText{choice->currentIndex(), ToCp1251(edit->text())};
}

bool QtUiServices::Print(const std::function<void(QPrinter&)>& paint) {
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted) return false;
    paint(printer);
    return true;
}

void QtUiServices::PrintPreview(const std::function<void(QPrinter&)>& paint) {
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog dialog(&printer, QApplication::activeWindow());
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&paint](QPrinter* target) { paint(*target); });
    dialog.exec();
}

}  // namespace tavrelo
