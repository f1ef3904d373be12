#include "retrieval/windows/request_window.h"

#include <QCloseEvent>
#include <QEventLoop>

#include "app/ui_text.h"
#include "app/unhandled_error.h"
#include "app/window_geometry.h"
#include "platform/qt/qt_text.h"

namespace tavrelo {
namespace {

QLabel* MakeLabel(const char* text, QWidget* parent, int x, int y) {
    auto* label = new QLabel(Ui(text), parent);
    label->setGeometry(x, y, 150, 16);
    return label;
}

QLineEdit* MakeEdit(const QString& text, QWidget* parent, int x, int y, int w) {
    auto* edit = new QLineEdit(text, parent);
    edit->setGeometry(x, y, w, 21);
    return edit;
}

QLineEdit* MakeMaskedEdit(const char* mask, const char* hint, QWidget* parent, int x, int y,
                          int w) {
    auto* edit = MakeEdit({}, parent, x, y, w);
    edit->setInputMask(QString::fromLatin1(mask));
    edit->setToolTip(Ui(hint));
    return edit;
}

QPushButton* MakeButton(const char* text, QWidget* parent, int x, int y, int w) {
    auto* button = new QPushButton(Ui(text), parent);
    button->setGeometry(x, y, w, 25);
    return button;
}

}  // namespace

TForm53::TForm53(AppContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window), context_(context) {
    setWindowTitle(Ui("Форма запроса и отображения данных"));
    setFont(LegacyFont());
    setFixedSize(833, 638);
    setAttribute(Qt::WA_AlwaysShowToolTips);

    // ListBox1 holds the XML lines of the last retrieval; it stays hidden behind ListBox2.
    ListBox1 = new LineListBox(14, this);
    ListBox1->setGeometry(0, 0, 473, 569);
    ListBox1->setVisible(false);
    ListBox2 = new LineListBox(14, this);
    ListBox2->setGeometry(0, 0, 473, 569);
    ListBox2->setFont(TapeFont());

    GroupBox1 = new QGroupBox(Ui("по номерам"), this);
    GroupBox1->setGeometry(488, 8, 337, 233);
    Label1 = MakeLabel("Тип документа", GroupBox1, 16, 24);
    ComboBox1 = new QComboBox(GroupBox1);
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->addItems({Ui("Z-отчет"), Ui("Чек"), Ui("Чек+Z-отчет"), Ui("Внес./Изъят.")});
    ComboBox1->setGeometry(16, 42, 145, 21);
    Label4 = MakeLabel("Пароль", GroupBox1, 176, 24);
    Edit3 = MakeEdit(QStringLiteral("582039"), GroupBox1, 176, 42, 145);
    Label2 = MakeLabel("Начальный номер", GroupBox1, 16, 80);
    Edit1 = MakeEdit(QStringLiteral("1"), GroupBox1, 16, 98, 145);
    Label3 = MakeLabel("Конечный номер", GroupBox1, 176, 80);
    Edit2 = MakeEdit(QStringLiteral("1"), GroupBox1, 176, 98, 145);
    Button1 = MakeButton("Получить", GroupBox1, 121, 188, 95);

    GroupBox2 = new QGroupBox(Ui("по датам"), this);
    GroupBox2->setGeometry(488, 252, 337, 233);
    Label5 = MakeLabel("Начальная дата", GroupBox2, 16, 24);
    Edit4 = MakeMaskedEdit("99.99.99;_", "дд.мм.гг", GroupBox2, 16, 42, 145);
    Label7 = MakeLabel("Время", GroupBox2, 176, 24);
    Edit6 = MakeMaskedEdit("99:99;_", "чч:мм", GroupBox2, 176, 42, 80);
    Edit6->setText(QStringLiteral("00:00"));
    Label6 = MakeLabel("Конечная дата", GroupBox2, 16, 80);
    Edit5 = MakeMaskedEdit("99.99.99;_", "дд.мм.гг", GroupBox2, 16, 98, 145);
    Edit7 = MakeMaskedEdit("99:99;_", "чч:мм", GroupBox2, 176, 98, 80);
    Button4 = MakeButton("Получить", GroupBox2, 16, 188, 145);
    Button5 = MakeButton("Вернуть номера", GroupBox2, 176, 188, 145);

    Button3 = MakeButton("Сохранить", this, 488, 540, 160);
    Button2 = MakeButton("Закрыть", this, 665, 540, 160);

    connect(Button1, &QPushButton::clicked, this, [this] { Handle(&TForm53::Button1Click); });
    connect(Button4, &QPushButton::clicked, this, [this] { Handle(&TForm53::Button4Click); });
    connect(Button5, &QPushButton::clicked, this, [this] { Handle(&TForm53::Button5Click); });
    connect(Button3, &QPushButton::clicked, this, [this] { Handle(&TForm53::Button3Click); });
    connect(Button2, &QPushButton::clicked, this, [this] { Handle(&TForm53::Button2Click); });

    RunHandler(context_.ui, [this] { FormCreate(); });
    // Connected after the creation's own selection, which is no operator's change.
    connect(ComboBox1, &QComboBox::editTextChanged, this,
            [this] { Handle(&TForm53::ComboBox1Change); });
    CenterOnScreen(*this);
}

TForm53::~TForm53() = default;

void TForm53::Handle(void (TForm53::*handler)()) {
    ++running_;
    RunHandler(context_.ui, [this, handler] { (this->*handler)(); });
    --running_;
    if (running_ == 0 && close_requested_) {
        close_requested_ = false;
        close();
    }
}

int TForm53::ItemIndex() const {
    const int index = ComboBox1->currentIndex();
    if (index < 0 || ComboBox1->currentText() != ComboBox1->itemText(index)) return -1;
    return index;
}

std::string TForm53::MaskedText(const QLineEdit& edit) {
    QString text = edit.displayText();
    text.replace(QLatin1Char('_'), QLatin1Char(' '));
    return ToCp1251(text);
}

void TForm53::ShowModal() {
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
    QEventLoop loop;
    modal_loop_ = &loop;
    loop.exec(QEventLoop::DialogExec);
    modal_loop_ = nullptr;
    hide();
}

void TForm53::RequestClose() {
    if (running_ > 0) {
        close_requested_ = true;
    } else {
        close();
    }
}

void TForm53::closeEvent(QCloseEvent* event) {
    event->accept();
    hide();
    if (modal_loop_) modal_loop_->exit();
}

void TForm53::FormCreate() { ComboBox1->setCurrentIndex(2); }

void TForm53::Button1Click() {}
void TForm53::Button4Click() {}
void TForm53::Button5Click() {}
void TForm53::ComboBox1Change() {}
void TForm53::Button3Click() {}

void TForm53::Button2Click() { close(); }

}  // namespace tavrelo
