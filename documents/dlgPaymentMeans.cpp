#include "dlgPaymentMeans.h"
#include "ui_dlgPaymentMeans.h"

#include "DeviceNumbers.h"
#include "SharedState.h"
#include "PaymentMeans.h"
#include "StatusLine.h"

using namespace Qt::StringLiterals;

namespace {

// The controls `<array>_0` ... `<array>_7` of the form, in row order.
template <typename Control>
std::array<Control*, dlgPaymentMeans::kRows> rowControls(QWidget& form, const QString& array)
{
    std::array<Control*, dlgPaymentMeans::kRows> controls{};
    for (int i = 0; i < dlgPaymentMeans::kRows; ++i) {
        controls[i] = form.findChild<Control*>(array + u'_' + QString::number(i));
        Q_ASSERT(controls[i]);
    }
    return controls;
}

std::int32_t flagOf(const QCheckBox* box)
{
    return box->isChecked() ? 1 : 0;
}

// A flag as the device reported it: only 1 checks the box. A negative answer is a read the device
// refused: the box shows partly checked, as not known, until the operator sets it; from then on
// it has its two states again.
void showFlag(QCheckBox* box, std::int32_t value)
{
    if (value >= 0) {
        box->setChecked(value == 1);
        return;
    }
    box->setCheckState(Qt::PartiallyChecked);
    QObject::connect(box, &QCheckBox::stateChanged, box, [box](int state) {
        if (state != Qt::PartiallyChecked)
            box->setTristate(false);
    });
}

bool known(const QCheckBox* box)
{
    return box->checkState() != Qt::PartiallyChecked;
}

} // namespace

dlgPaymentMeans::dlgPaymentMeans(forms::SharedState& main, QWidget* parent)
    : forms::Loadable<QDialog>(parent), ui(std::make_unique<Ui::dlgPaymentMeans>()), m_main(main)
{
    ui->setupUi(this);
    txtPMName = rowControls<QLineEdit>(*this, u"txtPMName"_s);
    CheckIsCard = rowControls<QCheckBox>(*this, u"Che\u0441kIsCard"_s);
    CheckDoCheckTotal = rowControls<QCheckBox>(*this, u"CheckDoCheckTotal"_s);
    CheckDrawer = rowControls<QCheckBox>(*this, u"CheckDrawer"_s);
    CheckChange = rowControls<QCheckBox>(*this, u"CheckChange"_s);

    connect(ui->CmdApply, &QPushButton::clicked, this, &dlgPaymentMeans::CmdApply_Click);
    connect(ui->CmdClose, &QPushButton::clicked, this, &dlgPaymentMeans::CmdClose_Click);
}

dlgPaymentMeans::~dlgPaymentMeans() = default;

void dlgPaymentMeans::SetStatus(const QString& text)
{
    forms::setStatus(ui->StatusText, text);
}

void dlgPaymentMeans::Form_Load()
{
    m_driver = m_main.GetQuolt();
    m_bSessionOpen = m_driver->GetDeviceInfo(DeviceInfo::ShiftOpen) != 0;
    // The device keeps the cash and change flags fixed for a shift; they are still sent as read.
    for (int i = 0; i < kRows; ++i) {
        CheckDoCheckTotal[i]->setEnabled(!m_bSessionOpen);
        CheckChange[i]->setEnabled(!m_bSessionOpen);
    }

    for (int i = 0; i < kRows; ++i) {
        const std::int16_t n = static_cast<std::int16_t>(i + 1);
        txtPMName[i]->setText(m_driver->GetTextDeviceInfo(TextInfo::PaymentMeanNameBase + n));
        const auto flag = [this, n](std::int16_t base) {
            return m_driver->GetDeviceInfo(static_cast<std::int16_t>(base + n));
        };
        showFlag(CheckIsCard[i], flag(DeviceInfo::PaymentMeanCardBase));
        showFlag(CheckDoCheckTotal[i], flag(DeviceInfo::PaymentMeanCashBase));
        showFlag(CheckDrawer[i], flag(DeviceInfo::PaymentMeanDrawerBase));
        showFlag(CheckChange[i], flag(DeviceInfo::PaymentMeanChangeBase));
    }

    // Older devices cannot report the names: the defaults stand in and the note says so.
    const bool namesKnown = m_main.m_MajorVersion >= 5;
    if (!namesKnown) {
        const QStringList defaults = defaultPaymentMeanNames();
        for (int i = 0; i < kRows; ++i)
            txtPMName[i]->setText(defaults[i]);
    }
    ui->lblInfo->setVisible(!namesKnown);
}

void dlgPaymentMeans::CmdApply_Click()
{
    // Every row is sent, whatever the device answers to the rows before it, except a row with a
    // flag the device did not report: a flag the window could not read is never written back.
    QStringList unsent;
    for (int i = 0; i < kRows; ++i) {
        const std::int32_t n = i + 1;
        if (!known(CheckIsCard[i]) || !known(CheckDoCheckTotal[i]) || !known(CheckDrawer[i]) ||
            !known(CheckChange[i])) {
            unsent << QString::number(n);
            continue;
        }
        SetStatus(u"Программирование..."_s);
        m_result = m_driver->SetPaymentMean(n, txtPMName[i]->text(), flagOf(CheckIsCard[i]),
                                            flagOf(CheckDoCheckTotal[i]), flagOf(CheckDrawer[i]),
                                            flagOf(CheckChange[i]));
        SetStatus(forms::statusText(m_driver->GetErrorComment(m_result)));
    }
    if (!unsent.isEmpty())
        SetStatus(u"Не записаны платежные средства %1: их признаки не прочитаны с устройства"_s.arg(
            unsent.join(u", "_s)));
}

void dlgPaymentMeans::CmdClose_Click()
{
    close();
}
