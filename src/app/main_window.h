#pragma once

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "app/app_context.h"
#include "app/indicator_shape.h"
#include "app/radio_group.h"
#include "app/viewer_window.h"

namespace tavrelo {

// The main window: the register's address and identifier, connecting, the menu that opens the
// request window, and the configuration file "Tavrelo.ini" in the start folder.
class TForm3 : public QMainWindow {
  public:
    explicit TForm3(AppContext& context);

    QGroupBox* GroupBox1;
    QLabel* Label1;
    QLineEdit* Edit1;
    RadioGroup* RadioGroup2;
    QLineEdit* Edit2;
    RadioGroup* RadioGroup1;
    IndicatorShape* Shape1;
    QPushButton* Button3;
    QPushButton* Button1;
    QStatusBar* StatusBar1;
    QMenuBar* MainMenu1;
    QMenu* N2;
    QAction* N45;
    QAction* N5;
    QAction* N46;  // "Открыть файл ленты...": the viewer, with or without a connection

    std::string VersionText;  // Windows-1251
    std::filesystem::path StartFolder;
    std::filesystem::path IniFileName;
    bool IniLoaded = false;

    void FormCreate();
    void FormActivate();
    void FormClose();
    void Button1Click();
    void Button3Click();
    void N5Click();
    void N45Click();
    void N46Click();
    void RadioGroup1Click();
    void RadioGroup2Click();

    // Indicator, Button3 caption and the menu "КЛЭФ", always changed together.
    void SetConnectionState(bool connected);
    bool IsConnected() const { return Shape1->BrushColor() != kColorRed; }

    // The exchange lost the connection: tell the operator, show the whole not-connected state
    // and close the request window once its running operation has returned.
    void ConnectionLost(const std::string& message);

    // The register's port for the selected protocol item.
    std::uint16_t RegisterPort() const;

    // Whether a connect is waiting for the register's answer.
    bool HandshakeRunning() const { return handshake_running_; }

    // The viewer of saved tapes, made at its first use; null before.
    ViewerWindow* Viewer() { return viewer_.get(); }

    // Told after the window has closed and its configuration is written; start-up ends the
    // program here.
    std::function<void()> OnClosed;

  protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    QString Title() const;
    void LoadConfiguration();
    void Connect();
    void Disconnect();

    AppContext& context_;
    bool activating_ = false;
    bool handshake_running_ = false;
    std::unique_ptr<ViewerWindow> viewer_;
};

}  // namespace tavrelo
