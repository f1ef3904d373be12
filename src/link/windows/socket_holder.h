#pragma once

#include <QWidget>

#include "app/app_context.h"

namespace tavrelo {

// Holds the one TCP client connection to the register; created at start and never shown.
class TForm1 : public QWidget {
  public:
    TForm1(AppContext& context, QWidget* parent = nullptr);

  private:
    AppContext& context_;
};

}  // namespace tavrelo
