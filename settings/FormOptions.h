#pragma once

#include "Driver.h"
#include "Fields.h"
#include "TabbedDialog.h"

#include <QDialog>
#include <QHash>
#include <QList>

#include <array>
#include <cstdint>
#include <memory>

namespace forms {
class SharedState;
}
class QAbstractButton;
class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace Ui {
class FormOptions;
}

namespace forms {
class NumberBox;
class OptionEditor;
} // namespace forms

// Reads and programs the device: its options (written back by "Применить" only where the operator
// changed them), the receipt header, date and time, pictures and bar codes (sent at once).
class FormOptions : public forms::TabbedDialog
{
    Q_OBJECT

public:
    explicit FormOptions(forms::SharedState& main, QWidget* parent = nullptr);
    ~FormOptions() override;

protected:
    void Form_Load() override;

private slots:
    void CmdApply_Click();
    void CmdCancel_Click();

    // Receipt header, date and time
    void CmdSetHeader_Click();
    void CmdSetDate_Click();
    void CmdSetTime_Click();

    // Pictures and bar codes
    void CmdBrowseImageFile_Click();
    void CmdLoadImage_Click();
    void CmdSetImage_Click();
    void CmdDeleteImage_Click();
    void cmdLoadImages_Click();
    void cmdSetPrintPic_Click();
    void CmdProgramBarCode_Click();
    void CmdProgramBarCodeDirect_Click();

private:
    // What the device answered at load: the options by number and the paper type.
    struct ReadValues
    {
        QHash<std::int16_t, std::int16_t> options;
        std::int16_t paperType = 0;
    };

    void SetStatus(const QString& text);
    void showResult(Driver::Result result); // "Статус: " + comment
    ReadValues readOptions();
    void readHeader();
    void showOptions(const ReadValues& read);
    void showClockAndPictures(const ReadValues& read);
    void showSpinners(const ReadValues& read);
    void showDateAndTime();
    void enableControls(std::int16_t deviceVersion, bool shiftOpen);
    void enablePictureAndBarCode();
    void trackChanges();
    // What "Применить" writes, in its order, each with its rule for a refused write.
    void addValues(const ReadValues& read);
    // The value the controls now give option `number`.
    std::int16_t ControlValue(std::int16_t number) const;
    std::int16_t paperTypeCode() const;
    void runSlotCommand(const QString& progress, Driver::Result (Driver::*command)(std::int16_t));

    std::unique_ptr<Ui::FormOptions> ui;
    forms::SharedState& m_main;
    std::shared_ptr<Driver> m_driver;
    forms::FieldReader m_fields{[this](const QString& text) { SetStatus(text); }};
    forms::OptionEditor* m_editor = nullptr;
    forms::NumberBox* m_sessionTimeLimit = nullptr;
    forms::NumberBox* m_startBarCodeHeight = nullptr;
    forms::NumberBox* m_endBarCodeHeight = nullptr;
    forms::NumberBox* m_numImage = nullptr;
    forms::NumberBox* m_barCodeHeight = nullptr;
    forms::NumberBox* m_scaling = nullptr;
    forms::NumberBox* m_width = nullptr;

    QHash<std::int16_t, QCheckBox*> m_checks;           // by option number
    QHash<std::int16_t, QList<QRadioButton*>> m_groups; // by option number
    QList<QRadioButton*> PaperTypeOption;
    QList<QRadioButton*> opCodePage;
    QList<QRadioButton*> opCodeType;
    QList<QRadioButton*> opBarCodeAlignment;
    QList<QRadioButton*> OpBarCodeFontSize;
    std::array<QLineEdit*, 8> TxtHeader{};
    std::array<QCheckBox*, 8> CheckBoldHeader{};
    std::array<QCheckBox*, 3> PrintPicCheck{};

    Driver::Result m_result = 0;
};
