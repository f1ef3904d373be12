#pragma once

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "app/app_context.h"
#include "model/document.h"
#include "model/vocabulary.h"
#include "retrieval/retrieval.h"
#include "retrieval/windows/line_list.h"

class QEventLoop;

namespace tavrelo {

// The save dialog's settings as the window sets them before each save.
struct SaveDialogSettings {
    std::string Filter = "*.txt";
    std::string FileName = "*.txt";
    std::string DefaultExt = "txt";
};

// The request window: asks the register for documents by numbers or by dates, shows them as
// the tape printed them, and saves them as text. Shown modally from the main window's menu.
class TForm53 : public QWidget {
  public:
    TForm53(AppContext& context, QWidget* parent = nullptr);
    ~TForm53() override;

    LineListBox* ListBox2;
    LineListBox* ListBox1;
    QGroupBox* GroupBox1;
    QLabel* Label1;
    QComboBox* ComboBox1;
    QLabel* Label4;
    QLineEdit* Edit3;
    QLabel* Label2;
    QLineEdit* Edit1;
    QLabel* Label3;
    QLineEdit* Edit2;
    QPushButton* Button1;
    QGroupBox* GroupBox2;
    QLabel* Label5;
    QLineEdit* Edit4;
    QLabel* Label6;
    QLineEdit* Edit5;
    QLabel* Label7;
    QLineEdit* Edit6;
    QLineEdit* Edit7;
    QPushButton* Button4;
    QPushButton* Button5;
    QPushButton* Button3;
    QPushButton* Button2;
    SaveDialogSettings SaveDialog1;
    // In the context menu of ListBox2, beside its find, jump, copy and print functions.
    QAction* SaveXmlAction;

    void FormCreate();
    void Button1Click();
    void Button4Click();
    void Button5Click();
    void ComboBox1Change();
    void Button3Click();
    void Button2Click();
    // Saves the XML of the last complete retrieval, the bytes of "temp.xml", under a chosen name.
    void SaveXmlClick();

    // Shows the window and returns when it has been closed.
    void ShowModal();
    // Asks the window to close; when an operation of the window is running, it closes once that
    // operation has returned.
    void RequestClose();

    // The selected item of ComboBox1, or -1 when its text is none of the items.
    int ItemIndex() const;

    // The masked edits' text with every unfilled position as a blank.
    static std::string MaskedText(const QLineEdit& edit);

    rq& Model() { return model_; }

    // The line the display list gets after a failed date check.
    static std::string DateCheckErrorLine();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    // Runs a handler of the window; errors escaping it go to the application's display, and a
    // close asked for meanwhile happens afterwards.
    void Handle(void (TForm53::*handler)());

    // The request flow around one retrieval step; `by_dates` selects the date path's failure
    // branch.
    void RunRequest(const std::function<RetrievalStep(Retrieval&)>& step, bool by_dates);
    void EndRequest();
    Retrieval& retrieval();
    class Observer;

    AppContext& context_;
    rq model_;
    control control_;
    std::unique_ptr<Observer> observer_;
    std::unique_ptr<Retrieval> retrieval_;
    QEventLoop* modal_loop_ = nullptr;
    int running_ = 0;
    bool close_requested_ = false;
};

}  // namespace tavrelo
