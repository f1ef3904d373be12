#pragma once

// The register emulator on a free loopback port and the desktop program connected to it, with
// waits short enough for tests: the set-up of every test that works in the request window.

#include <QString>
#include <memory>
#include <utility>

#include "app/desktop.h"
#include "gui_test_support.h"
#include "register/register_server.h"
#include "register/tape.h"

namespace tavrelo::testing {

// The emulator serving `tape`, started.
inline std::unique_ptr<RegisterServer> StartRegister(Tape tape, RegisterOptions options = {}) {
    auto server = std::make_unique<RegisterServer>(std::move(tape), std::move(options));
    server->Listen("127.0.0.1", 0);
    server->Start();
    return server;
}

// The desktop program with `ui`, its main window shown and connected to `server` by
// "Подключить"; whether the connect succeeded is the caller's to check (IsConnected).
inline std::unique_ptr<Desktop> ConnectDesktop(const RegisterServer& server, RecordingUi& ui) {
    DesktopSettings settings;
    settings.handshake.wait_ms = 20;
    settings.handshake.stream_timeout_ms = 2000;
    settings.exchange.stream_timeout_ms = 2000;
    settings.exchange.wait_timeout_ms = 300;
    settings.register_ports = {server.port(), server.port()};
    auto desktop = std::make_unique<Desktop>(ui, settings);
    desktop->Form3().FormActivate();
    desktop->Form3().Edit1->setText(QStringLiteral("127.0.0.1"));
    desktop->Form3().Button3Click();
    return desktop;
}

}  // namespace tavrelo::testing
