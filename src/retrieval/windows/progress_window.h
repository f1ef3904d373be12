#pragma once

#include <QLabel>
#include <QWidget>

#include "app/app_context.h"

namespace tavrelo {

// Shown while a request runs. Closing it only hides it; the request goes on.
class TForm4 : public QWidget {
  public:
    TForm4(AppContext& context, QWidget* parent = nullptr);

    QLabel* Label1;
    QLabel* Label2;

    void FormActivate();
    // Paints the window now, without waiting for the message loop.
    void Repaint();

  protected:
    void changeEvent(QEvent* event) override;

  private:
    AppContext& context_;
};

}  // namespace tavrelo
