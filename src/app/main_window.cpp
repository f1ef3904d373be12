#include "app/main_window.h"

#include <QCloseEvent>
#include <QEvent>
#include <QLayout>

#include "app/about_window.h"
#include "app/decimal_separator.h"
#include "app/ui_text.h"
#include "app/unhandled_error.h"
#include "app/wait_window.h"
#include "app/window_geometry.h"
#include "common/errors.h"
#include "link/handshake.h"
#include "link/link_messages.h"
#include "link/windows/socket_holder.h"
#include "platform/ini/ini_file.h"
#include "platform/qt/qt_text.h"
#include "retrieval/windows/request_window.h"

namespace tavrelo {
namespace {

constexpr char kIniName[] = "Tavrelo.ini";
constexpr char kConnectionSection[] = "Connection";
constexpr char kAddressKey[] = "IPAddres";
constexpr char kPropertySection[] = "Property";
constexpr char kIdKey[] = "ID";

}  // namespace

TForm3::TForm3(AppContext& context)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                               Qt::WindowCloseButtonHint),
      context_(context) {
    setWindowTitle(Ui("Соединение с РРО"));
    setFont(LegacyFont());

    const auto handler = [this](void (TForm3::*method)()) {
        return [this, method] { RunHandler(context_.ui, [this, method] { (this->*method)(); }); };
    };

    MainMenu1 = menuBar();
    N2 = MainMenu1->addMenu(Ui("КЛЭФ"));
    N45 = N2->addAction(Ui("Вывод документов в электронном виде"));
    N5 = MainMenu1->addAction(Ui("О программе..."));
    N46 = new QAction(Ui("Открыть файл ленты..."), this);
    MainMenu1->insertAction(N5, N46);
    N2->setEnabled(false);
    connect(N45, &QAction::triggered, this, handler(&TForm3::N45Click));
    connect(N5, &QAction::triggered, this, handler(&TForm3::N5Click));
    connect(N46, &QAction::triggered, this, handler(&TForm3::N46Click));

    auto* client = new QWidget(this);
    client->setFixedSize(541, 280);
    setCentralWidget(client);

    GroupBox1 = new QGroupBox(Ui("Подключение к  сокету TCP/IP"), client);
    GroupBox1->setGeometry(8, 8, 525, 193);
    Label1 = new QLabel(Ui("IP адрес:"), GroupBox1);
    Label1->setGeometry(16, 28, 120, 16);
    Edit1 = new QLineEdit(GroupBox1);
    Edit1->setGeometry(16, 46, 153, 21);
    RadioGroup2 = new RadioGroup(Ui("Призн. исп."), {QStringLiteral("ID_DEV")}, 1, GroupBox1);
    RadioGroup2->setGeometry(192, 22, 145, 45);
    Edit2 = new QLineEdit(GroupBox1);
    Edit2->setGeometry(192, 80, 145, 21);
    RadioGroup1 = new RadioGroup(
        Ui("Протокол"), {QStringLiteral("Datecs"), QStringLiteral("Vortan")}, 2, GroupBox1);
    RadioGroup1->setGeometry(352, 22, 157, 45);
    RadioGroup1->setVisible(false);
    Shape1 = new IndicatorShape(GroupBox1);
    Shape1->setGeometry(16, 140, 65, 20);
    Button3 = new QPushButton(Ui("Подключить"), GroupBox1);
    Button3->setGeometry(96, 137, 105, 25);
    Button3->setEnabled(false);
    connect(Button3, &QPushButton::clicked, this, handler(&TForm3::Button3Click));
    RadioGroup1->OnClick = handler(&TForm3::RadioGroup1Click);
    RadioGroup2->OnClick = handler(&TForm3::RadioGroup2Click);

    Button1 = new QPushButton(Ui("Закрыть"), client);
    Button1->setGeometry(444, 212, 89, 25);
    connect(Button1, &QPushButton::clicked, this, handler(&TForm3::Button1Click));

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setSizeGripEnabled(false);
    setStatusBar(StatusBar1);

    Shape1->SetBrushColor(kColorRed);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    RunHandler(context_.ui, [this] { FormCreate(); });
    CenterOnScreen(*this);
}

QString TForm3::Title() const { return Ui("Соединение с РРО") + " " + ToQString(VersionText); }

void TForm3::FormCreate() {
    VersionText = Cp("вер. 1.27T. от 01.09.2017");
    setWindowTitle(Title());
    RadioGroup1->SetItemIndex(0);
    RadioGroup2->SetItemIndex(1);
}

void TForm3::FormActivate() {
    // The message box of a first run takes the activation away and gives it back; that second
    // activation must not start the steps again while the first is still running.
    if (activating_) return;
    activating_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{activating_};

    setWindowTitle(Title());
    Button1->setEnabled(false);
    N5->setEnabled(false);
    SetDecimalSeparatorPoint();
    context_.ui.Block(context_.settings.activation_block);
    setWindowTitle(Title());
    if (!IniLoaded) LoadConfiguration();
    Button1->setEnabled(true);
    N5->setEnabled(true);
}

void TForm3::LoadConfiguration() {
    if (StartFolder.empty()) StartFolder = std::filesystem::current_path();
    IniFileName = StartFolder / kIniName;
    if (!IniFileExists(IniFileName)) {
        context_.ui.ShowMessage(Cp("Файл Tavrelo.ini отсутствует.\n Создание файла!"));
        try {
            CreateEmptyIniFile(IniFileName);
            WriteIniString(IniFileName, kConnectionSection, kAddressKey, "127.0.0.1");
            WriteIniString(IniFileName, kPropertySection, kIdKey, "");
        } catch (const FileError&) {
            // Not reported: the edits then simply stay empty.
        }
    }
    Edit1->setText(ToQString(ReadIniString(IniFileName, kConnectionSection, kAddressKey, "")));
    Edit2->setText(ToQString(ReadIniString(IniFileName, kPropertySection, kIdKey, "")));
    IniLoaded = true;
}

void TForm3::FormClose() {
    if (IniFileName.empty()) return;
    try {
        WriteIniString(IniFileName, kConnectionSection, kAddressKey, ToCp1251(Edit1->text()));
        WriteIniString(IniFileName, kPropertySection, kIdKey, ToCp1251(Edit2->text()));
    } catch (const FileError&) {
        // As at creation, a configuration that cannot be written is not reported.
    }
}

void TForm3::Button1Click() { close(); }

void TForm3::Button3Click() {
    // The Wait window pumps messages, so the button stays pressable; a second connect must not
    // start inside the first one.
    if (handshake_running_) return;
    if (Shape1->BrushColor() == kColorRed) {
        Connect();
    } else {
        Disconnect();
    }
}

namespace {

// The Wait window's part in the handshake: every change is painted and followed by a pump, so
// "Прервать" and the main window stay responsive.
class WaitWindowObserver final : public HandshakeObserver {
  public:
    WaitWindowObserver(TForm5& wait, UiServices& ui) : wait_(wait), ui_(ui) {}

    void WaitStarted() override {
        wait_.show();
        wait_.repaint();
        ui_.ProcessMessages();
    }
    void CountdownChanged(const std::string& text) override {
        wait_.Label2->setText(ToQString(text));
        wait_.repaint();
        ui_.ProcessMessages();
    }
    bool Aborted() override { return wait_.WaitAborted; }
    void WaitFinished() override {
        wait_.hide();
        wait_.WaitAborted = false;
    }

  private:
    TForm5& wait_;
    UiServices& ui_;
};

}  // namespace

void TForm3::Connect() {
    handshake_running_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{handshake_running_};

    WaitWindowObserver observer(*context_.forms.Form5, context_.ui);
    const ConnectOutcome outcome = ConnectToRegister(
        context_.forms.Form1->ClientSocket1(), ToCp1251(Edit1->text()), RegisterPort(),
        ToCp1251(Edit2->text()), observer, context_.settings.handshake);
    switch (outcome) {
        case ConnectOutcome::kConnected:
            SetConnectionState(true);
            break;
        case ConnectOutcome::kServerUnreachable:
            context_.ui.ShowMessage(ServerUnreachableMessage());
            break;
        case ConnectOutcome::kNotReady:
            SetConnectionState(false);
            context_.ui.ShowMessage(RegisterNotReadyMessage());
            break;
    }
}

void TForm3::Disconnect() {
    SetConnectionState(false);
    // The register keeps a session per connection; leaving it open would let the next operator
    // command run on a connection the window calls closed.
    context_.forms.Form1->ClientSocket1().Close();
}

void TForm3::ConnectionLost(const std::string& message) {
    context_.ui.ShowMessage(message);
    SetConnectionState(false);
    if (context_.forms.Form53) context_.forms.Form53->RequestClose();
}

std::uint16_t TForm3::RegisterPort() const {
    const int item = RadioGroup1->ItemIndex() == 1 ? 1 : 0;
    return context_.settings.register_ports[static_cast<std::size_t>(item)];
}

void TForm3::N5Click() { context_.forms.Form54->exec(); }

void TForm3::N45Click() { context_.forms.Form53->ShowModal(); }

void TForm3::N46Click() {
    const std::optional<std::filesystem::path> path = context_.ui.ChooseOpenFile("*.xml");
    if (!path) return;
    if (!viewer_) viewer_ = std::make_unique<ViewerWindow>(context_);
    if (!viewer_->OpenFile(*path)) return;
    viewer_->show();
    viewer_->raise();
    viewer_->activateWindow();
}

void TForm3::RadioGroup1Click() {
    if (RadioGroup1->ItemIndex() >= 0 && RadioGroup2->ItemIndex() >= 0) Button3->setEnabled(true);
}

void TForm3::RadioGroup2Click() { RadioGroup1Click(); }

void TForm3::SetConnectionState(bool connected) {
    Shape1->SetBrushColor(connected ? kColorLime : kColorRed);
    Button3->setText(connected ? Ui("Отключить") : Ui("Подключить"));
    N2->setEnabled(connected);
    N2->menuAction()->setEnabled(connected);
}

void TForm3::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        RunHandler(context_.ui, [this] { FormActivate(); });
    }
}

void TForm3::closeEvent(QCloseEvent* event) {
    // A handshake still waiting would otherwise hold the program up to four minutes.
    if (context_.forms.Form5) context_.forms.Form5->WaitAborted = true;
    RunHandler(context_.ui, [this] { FormClose(); });
    event->accept();
    if (OnClosed) OnClosed();
}

}  // namespace tavrelo
