#include "link/windows/socket_holder.h"

#include "app/main_window.h"

namespace tavrelo {

TForm1::TForm1(AppContext& context, std::unique_ptr<StreamSocket> socket, QWidget* parent)
    : QWidget(parent),
      context_(context),
      socket_(std::move(socket)),
      exchange_(*socket_, context.settings.exchange) {
    exchange_.set_connection_loss_handler(this);
}

TForm1::~TForm1() = default;

void TForm1::OnConnectionLost(const std::string& message, const std::string&) {
    context_.forms.Form3->ConnectionLost(message);
}

}  // namespace tavrelo
