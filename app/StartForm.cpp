#include "StartForm.h"
#include "ui_StartForm.h"

#include "DeviceInit.h"
#include "DriverFactory.h"
#include "ExchangeSpeeds.h"
#include "MainForm.h"
#include "ScreenPlacement.h"
#include "ResultCodes.h"
#include "Seams.h"
#include "StatusLine.h"

#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// Selected when the window opens: "9600".
constexpr int kDefaultSpeedPosition = 1;

} // namespace

StartForm::StartForm(QWidget* parent)
    : forms::Loadable<QDialog>(parent), ui(std::make_unique<Ui::StartForm>())
{
    ui->setupUi(this);
    connect(ui->InitCommand, &QPushButton::clicked, this, &StartForm::InitCommand_Click);
    connect(ui->CmdLLLog, &QPushButton::clicked, this, &StartForm::CmdLLLog_Click);
    connect(ui->CmdHLLog, &QPushButton::clicked, this, &StartForm::CmdHLLog_Click);
}

StartForm::~StartForm() = default;

void StartForm::SetStatus(const QString& text)
{
    forms::setStatus(ui->StatusText, text);
}

void StartForm::Form_Load()
{
    DriverCreation creation = createDriver(kQuoltProgId);
    if (!creation.driver) {
        // Without the driver object nothing can work. The window must not reach the screen
        // half-made: it stays off screen, says why and the program ends.
        setAttribute(Qt::WA_DontShowOnScreen);
        ui->InitCommand->setEnabled(false);
        forms::showMessage(nullptr, creation.error);
        forms::endProgram(1);
        QTimer::singleShot(0, this, &QWidget::close);
        return;
    }
    m_driver = std::move(creation.driver);
    fillLanguages();
    fillSpeeds();
}

void StartForm::fillLanguages()
{
    ui->cbLanguages->clear();
    int current = -1;
    const std::int32_t count = m_driver->GetLanguageCount();
    for (std::int32_t i = 1; i <= count; ++i) {
        QString name;
        QString text2;
        std::int32_t id = 0;
        std::int32_t flag = 0;
        m_driver->GetLanguageInfo(i, name, text2, id, flag);
        ui->cbLanguages->addItem(name, id);
        if (flag == 1)
            current = int(i) - 1; // a later flagged entry wins
    }
    ui->cbLanguages->setCurrentIndex(current);
}

void StartForm::fillSpeeds()
{
    ui->cbBaudRate->clear();
    for (int position = 0; position < kExchangeSpeeds; ++position)
        ui->cbBaudRate->addItem(exchangeSpeedName(position), position);
    ui->cbBaudRate->setCurrentIndex(kDefaultSpeedPosition);
}

void StartForm::browseLog(QLineEdit* box, const QString& title)
{
    forms::OpenFileRequest request;
    request.filter = u"Log Files(*.log)|*.log|All Files (*.*)|*.*"_s;
    request.filterIndex = 1;
    request.title = title;
    request.initialDirectory = u"."_s;
    request.defaultExtension = u"log"_s;
    request.pathMustExist = true;
    if (const std::optional<QString> path = forms::openFile(this, request))
        box->setText(*path);
}

void StartForm::CmdLLLog_Click()
{
    browseLog(ui->TxtLLLog, u"Low level log file"_s);
}

void StartForm::CmdHLLog_Click()
{
    browseLog(ui->TxtHLLog, u"High level log file"_s);
}

void StartForm::InitCommand_Click()
{
    if (!m_driver)
        return;

    InitSettings settings;
    settings.password = ui->TxtPasswrd->text();
    SetStatus(u"Инициализация..."_s);
    ui->ExtendedErrorText->clear(); // it describes the last attempt's failure only
    settings.port = numbers::readStrict<std::int32_t>(ui->TxtComPort->text()).value;
    if (ui->cbLanguages->currentIndex() >= 0)
        settings.languageId = ui->cbLanguages->currentData().toInt();
    settings.speedPosition = ui->cbBaudRate->currentData().toInt();
    settings.logging = ui->CheckEnableLog->isChecked();
    settings.lowLevelLog = ui->TxtLLLog->text();
    settings.highLevelLog = ui->TxtHLLog->text();
    settings.cachePayments = ui->CheckCash->isChecked();

    const InitOutcome outcome = initialiseDevice(*m_driver, settings);
    if (outcome.step == InitStep::UnreadablePort) {
        // The password has gone to the driver; the read names the field and focuses it.
        m_fields.strictInt32(ui->TxtComPort, u"COM - порт"_s);
        return;
    }
    const QString comment = m_driver->GetErrorComment(outcome.code);
    switch (outcome.step) {
    case InitStep::UnreadablePort:
    case InitStep::Password:
    case InitStep::Port:
    case InitStep::Language:
        SetStatus(comment);
        return;
    case InitStep::LowLevelLog:
    case InitStep::HighLevelLog:
        SetStatus(u"Ошибка при задании log-файла: "_s + comment);
        return;
    case InitStep::Device:
        break;
    }

    // Every setting was accepted, the caching switch included.
    m_bCashPay = settings.cachePayments;
    SetStatus(comment);
    if (outcome.code == 0) {
        openMainWindow();
    } else if (outcome.code == resultCode(ErrorCode::ShiftTooLong)) {
        closeTooLongShift();
    } else {
        const std::int32_t code2 = m_driver->GetErrorCode2();
        ui->ExtendedErrorText->setText(m_driver->GetErrorComment2(code2));
    }
}

void StartForm::closeTooLongShift()
{
    if (forms::askYesNo(this, u"Превышена продолжительность смены. Закрыть смену?"_s,
                        u"Информация"_s) != forms::Answer::Yes) {
        forms::showMessage(
            this, u"Необходимо закрыть смену для продолжения работы. Приложение будет закрыто."_s);
        forms::endProgram();
        return;
    }
    const Driver::Result r = m_driver->EndSession();
    const QString comment = m_driver->GetErrorComment(r);
    SetStatus(comment);
    if (r != 0) {
        forms::showMessage(
            this,
            u"Ошибка при закрытии смены: "_s + comment +
                u". Возможно, требуется ручное вмешательство в работу устройства. Приложение будет закрыто."_s);
        forms::endProgram();
        return;
    }
    // The operator presses the init button again once the shift is closed.
    forms::showMessage(
        this, u"Смена закрыта. Необходимо заново подать команду инициализации устройства."_s);
}

void StartForm::openMainWindow()
{
    // The main window is shown before this one closes, so that the program never runs out of
    // windows in between; its loading takes the driver object from here.
    auto* main = new MainForm(GetQuolt());
    main->setAttribute(Qt::WA_DeleteOnClose);
    // In the middle of the screen, as the start window was, and so whole on it: left to itself the
    // window manager puts the large main window wherever it finds room, even partly off screen.
    main->adjustSize();
    forms::centreOnScreen(*main);
    main->show();
    close();
}
