#include "retrieval/windows/request_window.h"

#include <QCloseEvent>
#include <QEventLoop>

#include "app/decimal_separator.h"
#include "app/main_window.h"
#include "app/tape_search.h"
#include "app/ui_text.h"
#include "app/unhandled_error.h"
#include "app/window_geometry.h"
#include "common/atomic_file.h"
#include "common/errors.h"
#include "common/numbers.h"
#include "link/windows/socket_holder.h"
#include "platform/qt/qt_text.h"
#include "platform/xml/parse_response.h"
#include "render/render_documents.h"
#include "retrieval/date_values.h"
#include "retrieval/windows/progress_window.h"

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

void ReportWriteFailure(UiServices& ui, const std::filesystem::path& target) {
    const std::u8string name = target.u8string();
    ui.ShowMessage(
        Cp("Не удалось записать файл ") +
        Utf8ToCp1251(std::string_view(reinterpret_cast<const char*>(name.data()), name.size())) +
        "!");
}

}  // namespace

// The retrieval's part for the windows: messages in boxes, the progress window, and a pump
// before every document so the program stays responsive.
class TForm53::Observer final : public RetrievalObserver {
  public:
    explicit Observer(AppContext& context) : context_(context) {}

    void ShowMessage(const std::string& text) override { context_.ui.ShowMessage(text); }
    void RetrievalStarted() override {
        progress().show();
        progress().Repaint();
    }
    void DocumentStarting(int) override {
        progress().Repaint();
        context_.ui.ProcessMessages();
    }
    void ProgressChanged(const std::string& text) override {
        progress().Label2->setText(ToQString(text));
        progress().Repaint();
    }

  private:
    TForm4& progress() { return *context_.forms.Form4; }
    AppContext& context_;
};

TForm53::TForm53(AppContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window),
      context_(context),
      observer_(std::make_unique<Observer>(context)) {
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
    ListBox2->EnableTextFunctions(context_.ui);
    ListBox2->DocumentLocator = [this](long long di) {
        return FindDocumentRow(model_, ListBox2->Items().lines(), di);
    };
    auto* separator = new QAction(ListBox2);
    separator->setSeparator(true);
    ListBox2->addAction(separator);
    SaveXmlAction = new QAction(Ui("Сохранить XML..."), ListBox2);
    ListBox2->addAction(SaveXmlAction);
    connect(SaveXmlAction, &QAction::triggered, this, [this] { Handle(&TForm53::SaveXmlClick); });

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
    // The window hides itself while a request runs, and Qt blocks other windows only for a
    // visible modal window; the main window stays disabled for the whole modal call, so that no
    // command of it runs inside a request.
    QWidget* main = context_.forms.Form3;
    const bool main_was_enabled = main && main->isEnabled();
    if (main) main->setEnabled(false);
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
    QEventLoop loop;
    modal_loop_ = &loop;
    loop.exec(QEventLoop::DialogExec);
    modal_loop_ = nullptr;
    hide();
    if (main) main->setEnabled(main_was_enabled);
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

void TForm53::FormCreate() {
    ComboBox1->setCurrentIndex(2);
    SetDecimalSeparatorPoint();
    const DateTimeEdits defaults = DefaultDateTimeEdits(CurrentLocalDateTime());
    Edit5->setText(ToQString(defaults.end_date));
    Edit7->setText(ToQString(defaults.end_time));
    Edit4->setText(ToQString(defaults.start_date));
    Edit6->setText(ToQString(defaults.start_time));
}

Retrieval& TForm53::retrieval() {
    // Made at the first request: by then the main window has fixed the start folder.
    if (!retrieval_) {
        retrieval_ = std::make_unique<Retrieval>(context_.forms.Form1->exchange(), *observer_,
                                                 context_.forms.Form3->StartFolder / "temp.xml");
    }
    return *retrieval_;
}

void TForm53::RunRequest(const std::function<RetrievalStep(Retrieval&)>& step, bool by_dates) {
    TForm4& progress = *context_.forms.Form4;
    try {
        model_.clear();
        control_.clear();
        hide();
        progress.setWindowTitle(Ui("ВНИМАНИЕ!!!!"));
        progress.Label1->setText(Ui("ИДЁТ ЗАГРУЗКА ДАННЫХ...."));
        progress.show();
        progress.Repaint();

        RetrievalStep result;
        try {
            result = step(retrieval());
        } catch (...) {
            ListBox1->Items().SetLines(retrieval().lines());
            throw;
        }
        ListBox1->Items().SetLines(retrieval().lines());
        if (result == RetrievalStep::kRan) {
            ParseResponse(JoinLines(ListBox1->Items().lines(), "\r\n"), model_, control_);
            std::vector<std::string> lines;
            RenderDocuments(model_, ItemIndex(), lines);
            ListBox2->Items().SetLines(std::move(lines));
        } else if (result == RetrievalStep::kCheckFailed && by_dates) {
            ListBox2->Items().Clear();
            ListBox2->Items().Append(DateCheckErrorLine());
        }
        EndRequest();
    } catch (...) {
        EndRequest();
        ListBox2->Items().Append(Cp("Непредвиденный сбой в структуре получаемой информации!"));
        ListBox2->Items().Append(Cp("Попробуйте выбрать другой диапазон номеров или дат!"));
    }
}

void TForm53::EndRequest() {
    TForm4& progress = *context_.forms.Form4;
    progress.Label2->clear();
    progress.hide();
    show();
}

std::string TForm53::DateCheckErrorLine() {
    return Cp("РРО вернул ошибку:  конечная дата меньше начальной !");
}

void TForm53::Button1Click() {
    RunRequest(
        [this](Retrieval& r) {
            return r.CheckNumbersAndRetrieve(ToCp1251(Edit1->text()), ToCp1251(Edit2->text()),
                                             ItemIndex());
        },
        false);
}

void TForm53::Button4Click() {
    RunRequest(
        [this](Retrieval& r) {
            return r.RetrieveByDates(MaskedText(*Edit4), MaskedText(*Edit5), MaskedText(*Edit6),
                                     MaskedText(*Edit7), model_);
        },
        true);
}

void TForm53::Button5Click() {
    const std::optional<NumberRange> range = retrieval().ReturnNumbers(
        MaskedText(*Edit4), MaskedText(*Edit5), MaskedText(*Edit6), MaskedText(*Edit7), model_);
    if (!range) return;
    Edit1->setText(ToQString(IntToText(range->first)));
    Edit2->setText(ToQString(IntToText(range->last)));
}

void TForm53::ComboBox1Change() {
    const bool zvits = ItemIndex() == 0;
    const int first = zvits ? model_.zvit_no_min() : model_.check_no_min();
    const int last = zvits ? model_.zvit_no_max() : model_.check_no_max();
    Edit1->setText(ToQString(IntToText(first)));
    Edit2->setText(ToQString(IntToText(last)));
}

void TForm53::Button3Click() {
    SaveDialog1.Filter = "*.txt";
    SaveDialog1.FileName = "*.txt";
    const std::optional<std::filesystem::path> path = context_.ui.ChooseSaveFile(
        SaveDialog1.Filter, SaveDialog1.FileName, SaveDialog1.DefaultExt);
    if (!path) return;
    const std::filesystem::path target = WithDefaultSuffix(*path, SaveDialog1.DefaultExt);
    try {
        WriteFileAtomically(target, JoinLines(ListBox2->Items().lines(), "\r\n"));
    } catch (const FileError&) {
        // The error's own text carries the name as the file system spells it (UTF-8), which a
        // message box in Windows-1251 would garble.
        ReportWriteFailure(context_.ui, target);
    }
}

void TForm53::Button2Click() { close(); }

void TForm53::SaveXmlClick() {
    // Only a retrieval that ran to its end wrote "temp.xml"; the lines of one that broke off
    // are no XML document.
    if (!retrieval_ || !retrieval_->complete()) {
        context_.ui.ShowMessage(Cp("Нет полностью полученных данных для сохранения!"));
        return;
    }
    const std::optional<std::filesystem::path> path =
        context_.ui.ChooseSaveFile("*.xml", "*.xml", "xml");
    if (!path) return;
    const std::filesystem::path target = WithDefaultSuffix(*path, "xml");
    try {
        WriteFileAtomically(target, JoinLines(ListBox1->Items().lines(), "\r\n"));
    } catch (const FileError&) {
        ReportWriteFailure(context_.ui, target);
    }
}

}  // namespace tavrelo
