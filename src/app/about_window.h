#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include "app/app_context.h"

namespace tavrelo {

// "О программе...": the program's name and the main window's version text.
class TForm54 : public QDialog {
  public:
    // The main window must exist already: its version text is copied here.
    TForm54(AppContext& context, QWidget* parent = nullptr);

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QPushButton* Button1;

    void Button1Click();

  private:
    AppContext& context_;
};

}  // namespace tavrelo
