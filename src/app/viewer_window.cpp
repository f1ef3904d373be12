#include "app/viewer_window.h"

#include <system_error>

#include "app/tape_search.h"
#include "app/ui_text.h"
#include "app/unhandled_error.h"
#include "app/window_geometry.h"
#include "audit/tape_audit.h"
#include "common/atomic_file.h"
#include "common/errors.h"
#include "export/csv_export.h"
#include "export/json_export.h"
#include "model/vocabulary.h"
#include "platform/qt/qt_text.h"
#include "platform/xml/parse_response.h"
#include "platform/xml/xml_document.h"
#include "render/render_documents.h"

namespace tavrelo {
namespace {

QPushButton* MakeButton(const char* text, QWidget* parent, int x, int y, int w) {
    auto* button = new QPushButton(Ui(text), parent);
    button->setGeometry(x, y, w, 25);
    return button;
}

std::string PathText(const std::filesystem::path& path) {
    const std::u8string utf8 = path.u8string();
    return Utf8ToCp1251(std::string_view(reinterpret_cast<const char*>(utf8.data()), utf8.size()));
}

}  // namespace

ViewerWindow::ViewerWindow(AppContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window), context_(context) {
    setWindowTitle(Ui("Просмотр файла ленты"));
    setFont(LegacyFont());
    setFixedSize(833, 638);

    ListBox2 = new LineListBox(14, this);
    ListBox2->setGeometry(0, 0, 473, 638);
    ListBox2->setFont(TapeFont());
    ListBox2->EnableTextFunctions(context_.ui);
    ListBox2->DocumentLocator = [this](long long di) {
        return FindDocumentRow(model_, ListBox2->Items().lines(), di);
    };

    Label1 = new QLabel(Ui("Тип документа"), this);
    Label1->setGeometry(504, 16, 150, 16);
    ComboBox1 = new QComboBox(this);
    ComboBox1->addItems({Ui("Z-отчет"), Ui("Чек"), Ui("Чек+Z-отчет"), Ui("Внес./Изъят.")});
    ComboBox1->setCurrentIndex(kSelectAll);
    ComboBox1->setGeometry(504, 34, 145, 21);
    Label2 = new QLabel(this);
    Label2->setGeometry(504, 66, 313, 48);
    Label2->setWordWrap(true);

    SaveButton = MakeButton("Сохранить", this, 504, 130, 313);
    SaveXmlButton = MakeButton("Сохранить XML...", this, 504, 162, 313);
    JsonButton = MakeButton("Экспорт в JSON...", this, 504, 210, 313);
    CsvButton = MakeButton("Экспорт в CSV...", this, 504, 242, 313);
    AuditButton = MakeButton("Проверка ленты", this, 504, 290, 313);
    PrintButton = MakeButton("Печать...", this, 504, 338, 313);
    PreviewButton = MakeButton("Просмотр печати...", this, 504, 370, 313);
    CloseButton = MakeButton("Закрыть", this, 665, 596, 152);

    connect(ComboBox1, &QComboBox::currentIndexChanged, this,
            [this] { Handle(&ViewerWindow::ComboBox1Change); });
    connect(SaveButton, &QPushButton::clicked, this, [this] { Handle(&ViewerWindow::SaveText); });
    connect(SaveXmlButton, &QPushButton::clicked, this, [this] { Handle(&ViewerWindow::SaveXml); });
    connect(JsonButton, &QPushButton::clicked, this, [this] { Handle(&ViewerWindow::SaveJson); });
    connect(CsvButton, &QPushButton::clicked, this, [this] { Handle(&ViewerWindow::SaveCsv); });
    connect(AuditButton, &QPushButton::clicked, this, [this] { Handle(&ViewerWindow::Audit); });
    connect(PrintButton, &QPushButton::clicked, ListBox2->PrintAction, &QAction::trigger);
    connect(PreviewButton, &QPushButton::clicked, ListBox2->PreviewAction, &QAction::trigger);
    connect(CloseButton, &QPushButton::clicked, this, &QWidget::close);
    CenterOnScreen(*this);
}

ViewerWindow::~ViewerWindow() = default;

void ViewerWindow::Handle(void (ViewerWindow::*handler)()) {
    RunHandler(context_.ui, [this, handler] { (this->*handler)(); });
}

bool ViewerWindow::OpenFile(const std::filesystem::path& path) {
    std::string xml;
    try {
        // A folder opens like an empty file on some systems; it is no tape.
        std::error_code ignored;
        if (std::filesystem::is_directory(path, ignored)) throw FileError(path.string());
        xml = ReadFile(path);
    } catch (const FileError&) {
        context_.ui.ShowMessage(Cp("Не удалось прочитать файл ") + PathText(path) + "!");
        return false;
    }
    rq model;
    ExactNumbers numbers;
    try {
        numbers = CollectExactNumbers(XmlDocument(xml).DocumentElement());
        control state;
        ParseResponse(xml, model, state);
    } catch (const Error&) {
        context_.ui.ShowMessage(Cp("Непредвиденный сбой в структуре получаемой информации!\n") +
                                Cp("Файл ") + PathText(path) +
                                Cp(" не является контрольной лентой в формате XML."));
        return false;
    }
    file_ = path;
    xml_ = std::move(xml);
    model_ = std::move(model);
    numbers_ = std::move(numbers);
    Label2->setText(ToQString(PathText(path)));
    setWindowTitle(Ui("Просмотр файла ленты") + QStringLiteral(" - ") +
                   ToQString(PathText(path.filename())));
    Render();
    // The findings of the previous tape would read as this one's.
    if (audit_) audit_->hide();
    return true;
}

void ViewerWindow::Render() {
    std::vector<std::string> lines;
    RenderDocuments(model_, ComboBox1->currentIndex(), lines);
    ListBox2->Items().SetLines(std::move(lines));
}

void ViewerWindow::ComboBox1Change() {
    if (!file_.empty()) Render();
}

void ViewerWindow::SaveAs(const char* suffix, const std::string& bytes) {
    const std::string pattern = std::string("*.") + suffix;
    const std::optional<std::filesystem::path> path =
        context_.ui.ChooseSaveFile(pattern, pattern, suffix);
    if (!path) return;
    const std::filesystem::path target = WithDefaultSuffix(*path, suffix);
    try {
        WriteFileAtomically(target, bytes);
    } catch (const FileError&) {
        context_.ui.ShowMessage(Cp("Не удалось записать файл ") + PathText(target) + "!");
    }
}

void ViewerWindow::SaveText() { SaveAs("txt", JoinLines(ListBox2->Items().lines(), "\r\n")); }

void ViewerWindow::SaveXml() { SaveAs("xml", xml_); }

void ViewerWindow::SaveJson() { SaveAs("json", ExportJson(model_, numbers_)); }

void ViewerWindow::SaveCsv() { SaveAs("csv", ExportCsv(model_, numbers_)); }

void ViewerWindow::Audit() {
    if (!audit_) audit_ = std::make_unique<LinesWindow>(context_.ui, Ui("Проверка ленты"));
    audit_->setWindowTitle(Ui("Проверка ленты") + QStringLiteral(" - ") +
                           ToQString(PathText(file_.filename())));
    audit_->SetLines(AuditReportLines(AuditTape(model_, numbers_)));
    audit_->show();
    audit_->raise();
}

}  // namespace tavrelo
