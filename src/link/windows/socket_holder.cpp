#include "link/windows/socket_holder.h"

namespace tavrelo {

TForm1::TForm1(AppContext& context, QWidget* parent) : QWidget(parent), context_(context) {}

}  // namespace tavrelo
