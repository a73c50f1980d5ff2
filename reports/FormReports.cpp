#include "FormReports.h"
#include "ui_FormReports.h"

#include "DeviceNumbers.h"
#include "SharedState.h"
#include "StatusLine.h"

using namespace Qt::StringLiterals;

FormReports::FormReports(forms::SharedState& main, QWidget* parent)
    : forms::Loadable<QDialog>(parent), ui(std::make_unique<Ui::FormReports>()), m_main(main),
      m_fields([this](const QString& text) { SetStatus(text); })
{
    ui->setupUi(this);
    // Nothing is left open on the device between two reports: Esc closes as "Закрыть" does.
    setKeys(forms::EscapeKey::Closes);
    connect(ui->CmdX1Report, &QPushButton::clicked, this, &FormReports::CmdX1Report_Click);
    connect(ui->CmdX2Report, &QPushButton::clicked, this, &FormReports::CmdX2Report_Click);
    connect(ui->CmdZ1Report, &QPushButton::clicked, this, &FormReports::CmdZ1Report_Click);
    connect(ui->CmdProgReport, &QPushButton::clicked, this, &FormReports::CmdProgReport_Click);
    connect(ui->CmdTest, &QPushButton::clicked, this, &FormReports::CmdTest_Click);
    connect(ui->CmdFullTestPrint, &QPushButton::clicked, this,
            &FormReports::CmdFullTestPrint_Click);
    connect(ui->CmdTestDevice, &QPushButton::clicked, this, &FormReports::CmdTestDevice_Click);
    connect(ui->CmdTaxChainReport, &QPushButton::clicked, this,
            &FormReports::CmdTaxChainReport_Click);
    connect(ui->CmdTaxChainsReport, &QPushButton::clicked, this,
            &FormReports::CmdTaxChainsReport_Click);
    connect(ui->CmdClose, &QPushButton::clicked, this, &FormReports::CmdClose_Click);
}

FormReports::~FormReports() = default;

void FormReports::SetStatus(const QString& text)
{
    forms::setStatus(ui->StatusText, text);
}

void FormReports::Form_Load()
{
    m_driver = m_main.GetQuolt();
    // Fixed for the life of the window: a Z report here does not change them (it does change the
    // main window's).
    for (QPushButton* button :
         {ui->CmdX1Report, ui->CmdX2Report, ui->CmdZ1Report, ui->CmdTest, ui->CmdFullTestPrint})
        button->setEnabled(m_main.bSessionOpen);
}

Driver::Result FormReports::Run(const QString& progress,
                                const std::function<Driver::Result()>& calls)
{
    SetStatus(progress);
    const Driver::Result r = calls();
    SetStatus(forms::statusText(m_driver->GetErrorComment(r)));
    return r;
}

void FormReports::runShiftReport(const QString& progress, std::int16_t kind)
{
    const QString cashier = m_main.sessionClerk();
    const Driver::Result r = Run(progress, [this, &cashier, kind] {
        const Driver::Result clerk = m_driver->SetClerk(cashier);
        return clerk == 0 ? m_driver->PrintReport(kind) : clerk;
    });
    // This window's buttons stay as they were at load; the main window must follow a shift that
    // the Z report closed, or that the device says is not as it believed.
    if ((kind == ReportKind::Z1 && r == 0) || forms::refusedForShiftState(r))
        m_main.readShiftState();
}

void FormReports::CmdX1Report_Click()
{
    runShiftReport(u"Получение X1 отчета..."_s, ReportKind::X1);
}

void FormReports::CmdX2Report_Click()
{
    runShiftReport(u"Получение X2 отчета..."_s, ReportKind::X2);
}

void FormReports::CmdZ1Report_Click()
{
    runShiftReport(u"Получение Z1 отчета..."_s, ReportKind::Z1);
}

void FormReports::CmdProgReport_Click()
{
    Run(u"Получение отчета по программированию..."_s,
        [this] { return m_driver->PrintReport(ReportKind::Programming); });
}

void FormReports::CmdTest_Click()
{
    Run(u"Печать пробного чека..."_s,
        [this] { return m_driver->TestPrinter(TestKind::TrialReceipt); });
}

void FormReports::CmdFullTestPrint_Click()
{
    Run(u"Тест печати..."_s, [this] { return m_driver->TestPrinter(TestKind::PrintTest); });
}

void FormReports::CmdTestDevice_Click()
{
    Run(u"Тест принтера..."_s, [this] { return m_driver->TestPrinter(TestKind::PrinterTest); });
}

void FormReports::CmdTaxChainReport_Click()
{
    // Both numbers are read before anything is shown or sent; a failed read stops here.
    const auto chain = m_fields.lenientInt16(ui->TextChainNum, u"№ цепочки"_s);
    if (!chain)
        return;
    const auto amount = m_fields.lenientInt16(ui->TextSum, u"Сумма"_s);
    if (!amount)
        return;
    Run(u"Получение отчета по налоговой цепочке..."_s,
        [this, chain, amount] { return m_driver->TaxChainReport(*chain, *amount); });
}

void FormReports::CmdTaxChainsReport_Click()
{
    Run(u"Получение отчета по налоговым цепочкам..."_s,
        [this] { return m_driver->TaxChainsReport(); });
}

void FormReports::CmdClose_Click()
{
    close();
}
