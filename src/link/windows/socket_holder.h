#pragma once

#include <QWidget>
#include <memory>

#include "app/app_context.h"
#include "link/exchange.h"
#include "link/stream_socket.h"

namespace tavrelo {

// Holds the one TCP client connection to the register and the exchange over it; created at
// start and never shown. A connection lost during an exchange is handed to the main window.
class TForm1 : public QWidget, private ConnectionLossHandler {
  public:
    TForm1(AppContext& context, std::unique_ptr<StreamSocket> socket, QWidget* parent = nullptr);
    ~TForm1() override;

    StreamSocket& ClientSocket1() { return *socket_; }
    Exchange& exchange() { return exchange_; }

  private:
    void OnConnectionLost(const std::string& message, const std::string& detail) override;

    AppContext& context_;
    std::unique_ptr<StreamSocket> socket_;
    Exchange exchange_;
};

}  // namespace tavrelo
