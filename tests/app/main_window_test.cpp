#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QTimer>

#include "app/desktop.h"
#include "app/unhandled_error.h"
#include "common/atomic_file.h"
#include "common/errors.h"
#include "gui_test_support.h"

namespace tavrelo {
namespace {

using namespace std::chrono_literals;
using testing::EnsureApplication;
using testing::RecordingUi;
using testing::ScopedFolder;
using testing::U;

class MainWindowTest : public ::testing::Test {
  protected:
    MainWindowTest() : folder_(::testing::UnitTest::GetInstance()->current_test_info()->name()) {
        EnsureApplication();
    }
    std::filesystem::path Ini() const { return folder_.path() / "Tavrelo.ini"; }

    ScopedFolder folder_;
    RecordingUi ui_;
};

TEST_F(MainWindowTest, StartUpCreatesAllWindowsHidden) {
    Desktop desktop(ui_);
    const Forms& forms = desktop.context().forms;
    ASSERT_NE(forms.Form3, nullptr);
    ASSERT_NE(forms.Form54, nullptr);
    ASSERT_NE(forms.Form53, nullptr);
    ASSERT_NE(forms.Form1, nullptr);
    ASSERT_NE(forms.Form5, nullptr);
    ASSERT_NE(forms.Form4, nullptr);
    for (QWidget* w : std::initializer_list<QWidget*>{forms.Form3, forms.Form54, forms.Form53,
                                                      forms.Form1, forms.Form5, forms.Form4}) {
        EXPECT_FALSE(w->isVisible());
    }
    TForm3& main = desktop.Form3();
    EXPECT_EQ(main.windowTitle(), U("Соединение с РРО вер. 1.27T. от 01.09.2017"));
    EXPECT_EQ(desktop.Form54().Label3->text(), U("вер. 1.27T. от 01.09.2017"));
    EXPECT_EQ(desktop.Form54().windowTitle(), U("О программе Чтение чеков и Z-отчетов Orvel"));
    EXPECT_EQ(desktop.Form54().Label1->text(), U("ПО Чтение чеков и Z-отчетов ("));
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(MainWindowTest, ControlsStartNotConnected) {
    Desktop desktop(ui_);
    TForm3& main = desktop.Form3();
    EXPECT_EQ(main.centralWidget()->size(), QSize(541, 280));
    EXPECT_EQ(main.GroupBox1->title(), U("Подключение к  сокету TCP/IP"));
    EXPECT_EQ(main.Label1->text(), U("IP адрес:"));
    EXPECT_EQ(main.RadioGroup2->title(), U("Призн. исп."));
    EXPECT_EQ(main.RadioGroup2->Item(0)->text(), U("ID_DEV"));
    EXPECT_EQ(main.RadioGroup2->ItemIndex(), 0);
    EXPECT_EQ(main.RadioGroup1->ItemIndex(), 0);
    EXPECT_EQ(main.RadioGroup1->Item(1)->text(), U("Vortan"));
    EXPECT_TRUE(main.RadioGroup1->isHidden());
    EXPECT_EQ(main.Shape1->BrushColor(), 255);
    EXPECT_EQ(main.Shape1->size(), QSize(65, 20));
    EXPECT_EQ(main.Button3->text(), U("Подключить"));
    EXPECT_TRUE(main.Button3->isEnabled());
    EXPECT_EQ(main.Button1->text(), U("Закрыть"));
    EXPECT_EQ(main.N2->title(), U("КЛЭФ"));
    EXPECT_FALSE(main.N2->menuAction()->isEnabled());
    EXPECT_EQ(main.N45->text(), U("Вывод документов в электронном виде"));
    EXPECT_EQ(main.N5->text(), U("О программе..."));
    EXPECT_TRUE(main.StatusBar1->currentMessage().isEmpty());
}

TEST_F(MainWindowTest, FirstRunCreatesTheConfiguration) {
    Desktop desktop(ui_);
    TForm3& main = desktop.Form3();
    main.FormActivate();
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0], "Файл Tavrelo.ini отсутствует.\n Создание файла!");
    EXPECT_EQ(ReadFile(Ini()), "[Connection]\r\nIPAddres=127.0.0.1\r\n[Property]\r\nID=\r\n");
    EXPECT_EQ(main.Edit1->text(), U("127.0.0.1"));
    EXPECT_EQ(main.Edit2->text(), U(""));
    EXPECT_EQ(main.StartFolder, folder_.path());
    EXPECT_EQ(main.IniFileName, Ini());
    EXPECT_TRUE(main.IniLoaded);
    ASSERT_EQ(ui_.blocks.size(), 1u);
    EXPECT_EQ(ui_.blocks[0], 1000ms);
    EXPECT_TRUE(main.Button1->isEnabled());
    EXPECT_TRUE(main.N5->isEnabled());
}

TEST_F(MainWindowTest, ActivationDisablesCloseAndAboutWhileBlocked) {
    WriteFileAtomically(Ini(), "[Connection]\r\nIPAddres=10.1.1.1\r\n");
    struct Probe : RecordingUi {
        TForm3* main = nullptr;
        bool close_enabled = true, about_enabled = true;
        void Block(std::chrono::milliseconds d) override {
            close_enabled = main->Button1->isEnabled();
            about_enabled = main->N5->isEnabled();
            RecordingUi::Block(d);
        }
    };
    Probe probe;
    Desktop probed(probe);
    probe.main = &probed.Form3();
    probed.Form3().FormActivate();
    EXPECT_FALSE(probe.close_enabled);
    EXPECT_FALSE(probe.about_enabled);
    EXPECT_TRUE(probed.Form3().Button1->isEnabled());
    EXPECT_EQ(probed.Form3().Edit1->text(), U("10.1.1.1"));
    EXPECT_TRUE(probe.messages.empty());
}

TEST_F(MainWindowTest, LongAddressSurvivesARestart) {
    WriteFileAtomically(Ini(),
                        "; kept\r\n[Other]\r\nA=1\r\n[connection]\r\nipaddres=192.168.100.100\r\n"
                        "[Property]\r\nID=12345\r\n");
    {
        Desktop desktop(ui_);
        desktop.Form3().FormActivate();
        EXPECT_EQ(desktop.Form3().Edit1->text(), U("192.168.100.100"));
        EXPECT_EQ(desktop.Form3().Edit2->text(), U("12345"));
        desktop.Form3().close();
    }
    EXPECT_EQ(ReadFile(Ini()),
              "; kept\r\n[Other]\r\nA=1\r\n[connection]\r\nipaddres=192.168.100.100\r\n"
              "[Property]\r\nID=12345\r\n");
    Desktop again(ui_);
    again.Form3().FormActivate();
    EXPECT_EQ(again.Form3().Edit1->text(), U("192.168.100.100"));
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(MainWindowTest, CloseStoresWhatTheEditsHold) {
    Desktop desktop(ui_);
    TForm3& main = desktop.Form3();
    bool closed = false;
    main.OnClosed = [&] { closed = true; };
    main.FormActivate();
    main.Edit1->setText(QString());
    main.Edit2->setText(U("Каса-1234567890123"));
    std::filesystem::remove(Ini());  // removed meanwhile: the write creates it again
    main.Button1Click();
    EXPECT_TRUE(closed);
    EXPECT_EQ(ReadFile(Ini()), "[Connection]\r\nIPAddres=\r\n[Property]\r\nID=" +
                                   Utf8ToCp1251("Каса-1234567890123") + "\r\n");
}

TEST_F(MainWindowTest, ReactivationOnlyBlocksAgain) {
    Desktop desktop(ui_);
    TForm3& main = desktop.Form3();
    main.FormActivate();
    WriteFileAtomically(Ini(), "[Connection]\r\nIPAddres=9.9.9.9\r\n");
    main.FormActivate();
    EXPECT_EQ(main.Edit1->text(), U("127.0.0.1"));
    EXPECT_EQ(main.windowTitle(), U("Соединение с РРО вер. 1.27T. от 01.09.2017"));
    EXPECT_EQ(ui_.blocks.size(), 2u);
    EXPECT_EQ(ui_.messages.size(), 1u);
}

TEST_F(MainWindowTest, ShownWindowActivatesOnceForTheMissingFile) {
    Desktop desktop(ui_);
    TForm3& main = desktop.Form3();
    main.show();
    main.activateWindow();
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    main.FormActivate();
    EXPECT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(main.Edit1->text(), U("127.0.0.1"));
    main.hide();
}

TEST_F(MainWindowTest, AboutOpensModallyAndCloses) {
    Desktop desktop(ui_);
    TForm54& about = desktop.Form54();
    EXPECT_EQ(about.size(), QSize(385, 145));
    bool was_shown = false;
    QTimer::singleShot(0, [&] {
        was_shown = about.isVisible() && about.isModal();
        about.Button1->click();
    });
    desktop.Form3().N5->trigger();
    EXPECT_TRUE(was_shown);
    EXPECT_FALSE(about.isVisible());
}

TEST_F(MainWindowTest, ErrorsEscapingAHandlerAreShownAndTheProgramGoesOn) {
    RunHandler(ui_, [] { throw ConversionError("'12a' is not an integer"); });
    RunHandler(ui_, [] { throw 42; });
    ASSERT_EQ(ui_.messages.size(), 2u);
    EXPECT_EQ(ui_.messages[0], "'12a' is not an integer");
    EXPECT_EQ(ui_.messages[1], "");
}

}  // namespace
}  // namespace tavrelo
