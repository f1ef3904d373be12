#include <gtest/gtest.h>

#include "app/desktop.h"
#include "gui_test_support.h"
#include "handshake_peer.h"

namespace tavrelo {
namespace {

using testing::EnsureApplication;
using testing::HandshakePeer;
using testing::RecordingUi;
using testing::ScopedFolder;
using testing::U;

constexpr char kUnreachable[] = "Сервер не отвечает, проверьте IP адрес";
constexpr char kNotReady[] =
    "Сервер не отвечает, проверьте настройки РРО (IP адрес или удаленный доступ)";

class ConnectTest : public ::testing::Test {
  protected:
    ConnectTest() : folder_("connect") { EnsureApplication(); }

    // Waits of one millisecond instead of one second; the pass and wait counts stay.
    std::unique_ptr<Desktop> Start(std::uint16_t port, int wait_ms = 1) {
        DesktopSettings settings;
        settings.handshake.wait_ms = wait_ms;
        settings.handshake.stream_timeout_ms = 2000;
        settings.exchange.stream_timeout_ms = 2000;
        settings.exchange.wait_timeout_ms = 200;
        settings.register_ports = {port, port};
        auto desktop = std::make_unique<Desktop>(ui_, settings);
        desktop->Form3().FormActivate();
        desktop->Form3().Edit1->setText(QStringLiteral("127.0.0.1"));
        ui_.messages.clear();
        ui_.on_pump = [this, d = desktop.get()] {
            if (d->Form5().isVisible())
                countdown_.push_back(d->Form5().Label2->text().toStdString());
        };
        return desktop;
    }

    void ExpectNotConnected(TForm3& main) {
        EXPECT_EQ(main.Shape1->BrushColor(), 255);
        EXPECT_EQ(main.Button3->text(), U("Подключить"));
        EXPECT_FALSE(main.N2->menuAction()->isEnabled());
    }

    ScopedFolder folder_;
    RecordingUi ui_;
    std::vector<std::string> countdown_;
};

TEST_F(ConnectTest, ReadyConnectsWithTheFirstNineBytesOfTheIdentifier) {
    HandshakePeer peer({});
    auto desktop = Start(peer.port());
    TForm3& main = desktop->Form3();
    main.Edit2->setText(QStringLiteral("ABCDEFGHIJKL"));
    main.Button3->click();
    EXPECT_TRUE(ui_.messages.empty());
    EXPECT_EQ(main.Shape1->BrushColor(), 65280);
    EXPECT_EQ(main.Button3->text(), U("Отключить"));
    EXPECT_TRUE(main.N2->menuAction()->isEnabled());
    EXPECT_FALSE(desktop->Form5().isVisible());
    EXPECT_EQ(peer.identification(), "ABCDEFGHI");
}

TEST_F(ConnectTest, ShortIdentifierIsPaddedWithZeroBytes) {
    HandshakePeer peer({});
    auto desktop = Start(peer.port());
    desktop->Form3().Edit2->setText(QStringLiteral("12345"));
    desktop->Form3().Button3Click();
    EXPECT_EQ(peer.identification(), std::string("12345\0\0\0\0", 9));
}

TEST_F(ConnectTest, NobodyListeningGivesTheAddressMessage) {
    std::uint16_t port;
    {
        HandshakePeer closed({});
        port = closed.port();
    }
    auto desktop = Start(port);
    desktop->Form3().Button3Click();
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0], kUnreachable);
    ExpectNotConnected(desktop->Form3());
    EXPECT_FALSE(desktop->Form5().isVisible());
}

TEST_F(ConnectTest, AnythingButReadyGivesTheSettingsMessage) {
    HandshakePeer peer({.reply = "Ready\r\n"});
    auto desktop = Start(peer.port());
    desktop->Form3().Button3Click();
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0], kNotReady);
    ExpectNotConnected(desktop->Form3());
}

TEST_F(ConnectTest, CountdownRunsFourPassesWithoutAReply) {
    HandshakePeer peer({.silent = true});
    auto desktop = Start(peer.port());
    desktop->Form3().Button3Click();
    ASSERT_EQ(countdown_.size(), 4u * 61u + 1u);  // the first pump shows the empty label
    EXPECT_EQ(countdown_[0], "");
    EXPECT_EQ(countdown_[1], "3 : 59");
    EXPECT_EQ(countdown_[60], "3 : 0");
    EXPECT_EQ(countdown_[61], "3 : -1");
    EXPECT_EQ(countdown_[62], "2 : 59");
    EXPECT_EQ(countdown_.back(), "0 : -1");
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0], kNotReady);
    EXPECT_FALSE(desktop->Form5().isVisible());
}

TEST_F(ConnectTest, ReadyInTheSecondPassConnects) {
    HandshakePeer peer({.hold = true});
    auto desktop = Start(peer.port(), 20);
    ui_.on_pump = [&, d = desktop.get()] {
        if (!d->Form5().isVisible()) return;
        countdown_.push_back(d->Form5().Label2->text().toStdString());
        if (countdown_.back() == "3 : -1") peer.Release();
    };
    desktop->Form3().Button3Click();
    EXPECT_TRUE(ui_.messages.empty());
    EXPECT_EQ(desktop->Form3().Shape1->BrushColor(), 65280);
    ASSERT_GE(countdown_.size(), 62u);
    EXPECT_EQ(countdown_[60], "3 : 0");
    EXPECT_EQ(countdown_[61], "3 : -1");
}

TEST_F(ConnectTest, AbortEndsTheWaitAndASecondConnectCannotStart) {
    HandshakePeer peer({.silent = true});
    auto desktop = Start(peer.port());
    TForm3& main = desktop->Form3();
    ui_.on_pump = [&, d = desktop.get()] {
        if (!d->Form5().isVisible()) return;
        countdown_.push_back(d->Form5().Label2->text().toStdString());
        if (countdown_.back() == "3 : 58") {
            EXPECT_TRUE(main.HandshakeRunning());
            main.Button3->click();  // ignored while the first connect waits
            EXPECT_EQ(d->Form5().Button1->text(), U("Прервать"));
            d->Form5().Button1->click();
        }
    };
    main.Button3->click();
    EXPECT_EQ(countdown_.back(), "3 : 58");
    // A nested connect would have ended with a message of its own.
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0], kNotReady);
    EXPECT_FALSE(desktop->Form5().WaitAborted);
    EXPECT_FALSE(desktop->Form5().isVisible());
    EXPECT_FALSE(main.HandshakeRunning());
    ExpectNotConnected(main);
}

TEST_F(ConnectTest, DisconnectClosesTheConnection) {
    HandshakePeer peer({});
    auto desktop = Start(peer.port());
    desktop->Form3().Button3Click();
    ASSERT_EQ(desktop->Form3().Shape1->BrushColor(), 65280);
    desktop->Form3().Button3Click();
    ExpectNotConnected(desktop->Form3());
    EXPECT_TRUE(peer.WaitClientClosed());
    EXPECT_FALSE(desktop->Form1().ClientSocket1().IsActive());
}

TEST_F(ConnectTest, LostConnectionSetsTheWholeNotConnectedState) {
    HandshakePeer peer({.reset_after = true});
    auto desktop = Start(peer.port());
    desktop->Form3().Button3Click();
    ASSERT_EQ(desktop->Form3().Shape1->BrushColor(), 65280);
    // Every exchange from now on meets the reset connection.
    int result = 0;
    for (int i = 0; i < 20 && ui_.messages.empty(); ++i) {
        result = desktop->Form1().exchange().RequestNumberRange("01;02;17;00;00;15;03;17;09;05;");
    }
    EXPECT_EQ(result, -1);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0], "Ошибка! Потеряно соединение TCP/IP!");
    ExpectNotConnected(desktop->Form3());
}

}  // namespace
}  // namespace tavrelo
