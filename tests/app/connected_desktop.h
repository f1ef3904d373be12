#pragma once

// The register emulator on a free loopback port and the desktop program connected to it, with
// waits short enough for tests: the set-up of every test that works in the request window.

#include <gtest/gtest.h>

#include <QString>
#include <filesystem>
#include <memory>
#include <utility>

#include "app/desktop.h"
#include "gui_test_support.h"
#include "register/register_server.h"
#include "register/tape.h"
#include "retrieval/windows/request_window.h"

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

// A test that works in the request window of a program connected to the emulator, in a folder
// of its own (named after the test) as the working directory.
class RequestWindowFixture : public ::testing::Test {
  protected:
    RequestWindowFixture()
        : folder_(::testing::UnitTest::GetInstance()->current_test_info()->name()) {
        EnsureApplication();
    }
    ~RequestWindowFixture() override {
        desktop_.reset();
        if (server_) server_->Stop();
    }

    // The emulator with `tape` (the sample tape of receipts 8 to 12 by default), the program
    // connected to it and the request window shown.
    void StartConnected(RegisterOptions options = {},
                        Tape tape = Tape::FromFile(std::filesystem::path(TAVRELO_DATA_DIR) /
                                                   "tape-8-12.xml")) {
        server_ = StartRegister(std::move(tape), std::move(options));
        desktop_ = ConnectDesktop(*server_, ui_);
        ASSERT_TRUE(desktop_->Form3().IsConnected());
        ui_.messages.clear();
        form().show();
    }

    TForm53& form() { return desktop_->Form53(); }
    void RequestNumbers(const char* first, const char* last) {
        form().Edit1->setText(QString::fromUtf8(first));
        form().Edit2->setText(QString::fromUtf8(last));
        form().Button1->click();
    }

    ScopedFolder folder_;
    RecordingUi ui_;
    std::unique_ptr<RegisterServer> server_;
    std::unique_ptr<Desktop> desktop_;
};

}  // namespace tavrelo::testing
