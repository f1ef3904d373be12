#pragma once

#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include "app/app_context.h"

namespace tavrelo {

// Shown while the connect waits for the register's "Ready", with the countdown in Label2.
// It has no close box; "Прервать" is the only way out.
class TForm5 : public QWidget {
  public:
    TForm5(AppContext& context, QWidget* parent = nullptr);

    QLabel* Label1;
    QLabel* Label2;
    QPushButton* Button1;

    bool WaitAborted = false;

    void Button1Click();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    AppContext& context_;
};

}  // namespace tavrelo
