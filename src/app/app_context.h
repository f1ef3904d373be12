#pragma once

#include <array>
#include <chrono>
#include <cstdint>

#include "link/exchange.h"
#include "link/handshake.h"
#include "platform/qt/ui_services.h"

namespace tavrelo {

class TForm3;
class TForm54;
class TForm53;
class TForm1;
class TForm5;
class TForm4;

// The program's windows, filled in as start-up creates them; a window reaches the others only
// through these, and only after they exist.
struct Forms {
    TForm3* Form3 = nullptr;
    TForm54* Form54 = nullptr;
    TForm53* Form53 = nullptr;
    TForm1* Form1 = nullptr;
    TForm5* Form5 = nullptr;
    TForm4* Form4 = nullptr;
};

// The waits and the register's ports; production values by default, tests shorten the waits and
// point the ports at an emulator.
struct DesktopSettings {
    std::chrono::milliseconds activation_block{1000};
    HandshakeTimings handshake;
    ExchangeTimings exchange;
    // By the item of the protocol group: "Datecs", "Vortan".
    std::array<std::uint16_t, 2> register_ports{kRegisterPort, 34951};
};

// What every window is given: the toolkit services, the waits and the other windows.
struct AppContext {
    explicit AppContext(UiServices& services) : ui(services) {}
    UiServices& ui;
    DesktopSettings settings;
    Forms forms;
};

}  // namespace tavrelo
