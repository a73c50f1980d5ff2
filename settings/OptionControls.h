#pragma once

#include <QList>
#include <QString>

#include <cstdint>

// What the options window knows about the device options it edits: which control shows each
// option, the order in which they are read and written, and which of them the device accepts only
// between shifts. The window itself only moves values between these controls and the driver.
namespace options {

// A device option shown as a check box: 1 when checked, 0 otherwise.
struct CheckOption
{
    std::int16_t number;
    QString control;
};

// An option shown as a group of option buttons: its value is the index of the selected button.
struct GroupOption
{
    std::int16_t number;
    QString group; // the buttons are <group>_0, <group>_1, ...
    int buttons;
};

// Every check box option of the window, the clock switch included.
const QList<CheckOption>& checkOptions();
// The four option groups: date format and the three roundings.
const QList<GroupOption>& groupOptions();

// The device options read at every opening, in the order they are read.
const QList<std::int16_t>& loadOrder();
// Read after the paper type on the generation that has the clock and picture page.
const QList<std::int16_t>& clockAndPictureOptions();

// The options "Применить" writes when they differ from what was read, in the order they are
// written; a failed write still counts as written, so it is not repeated by the next Apply.
// The carry-over of cash (45) is written only on the generation that has it.
QList<std::int16_t> applyOrder(bool withCashCarryOver);

// The check box options the device takes only while the shift is closed.
const QList<std::int16_t>& betweenShiftCheckOptions();

// The paper type codes in the order of their buttons.
const QList<std::int16_t>& paperTypeCodes();
// The button of a paper type code, or -1 when no button stands for it.
int paperTypeButton(std::int32_t code);

} // namespace options
