#pragma once

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <filesystem>
#include <memory>
#include <string>

#include "app/app_context.h"
#include "app/lines_window.h"
#include "export/exact_numbers.h"
#include "model/document.h"
#include "retrieval/windows/line_list.h"

namespace tavrelo {

// The tape viewer: a saved control-tape response (a "temp.xml", an exported or archived tape)
// shown without the register, as the request window shows a retrieval, with the same document
// type selector; saved as text, as raw XML, exported as JSON or CSV, and checked.
class ViewerWindow : public QWidget {
  public:
    explicit ViewerWindow(AppContext& context, QWidget* parent = nullptr);
    ~ViewerWindow() override;

    QLabel* Label1;         // "Тип документа"
    QComboBox* ComboBox1;   // the document types of the request window
    QLabel* Label2;         // the file shown
    LineListBox* ListBox2;  // the rendered documents
    QPushButton* SaveButton;
    QPushButton* SaveXmlButton;
    QPushButton* JsonButton;
    QPushButton* CsvButton;
    QPushButton* AuditButton;
    QPushButton* PrintButton;
    QPushButton* PreviewButton;
    QPushButton* CloseButton;

    // Reads and shows the tape in `path`. A file that cannot be read or is no control tape is
    // reported in a message box and changes nothing; returns whether the tape is shown.
    bool OpenFile(const std::filesystem::path& path);

    void ComboBox1Change();
    void SaveText();
    void SaveXml();
    void SaveJson();
    void SaveCsv();
    void Audit();

    const std::filesystem::path& FileName() const { return file_; }
    rq& Model() { return model_; }
    // The window of the last check, or null before the first.
    LinesWindow* AuditWindow() { return audit_.get(); }

  private:
    void Handle(void (ViewerWindow::*handler)());
    void Render();
    // The save dialog for `suffix` files; writes `bytes` atomically and reports a failure.
    void SaveAs(const char* suffix, const std::string& bytes);

    AppContext& context_;
    std::filesystem::path file_;
    std::string xml_;  // the file's bytes as read
    rq model_;
    ExactNumbers numbers_;
    std::unique_ptr<LinesWindow> audit_;
};

}  // namespace tavrelo
