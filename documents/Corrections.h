#pragma once

#include "DocumentCommands.h"
#include "Fields.h"

class QLineEdit;

namespace documents {

// The three discount and surcharge commands of the receipt windows: an absolute amount in
// kopecks, a percentage, and an absolute amount printed with its own text. A negative value is a
// discount, a positive one a surcharge; the sign goes to the device unchanged. Each command reads
// its number (stopping, with the reason shown, when it cannot), shows its progress text and the
// outcome, and tells whether it reached the device, so that the window can refresh its counters.
class Corrections
{
public:
    struct Boxes
    {
        QLineEdit* absolute;
        QLineEdit* percent;
        QLineEdit* absoluteWithText;
        QLineEdit* text;
    };

    Corrections(const forms::FieldReader& fields, const DocumentCommands& commands, Boxes boxes)
        : m_fields(fields), m_commands(commands), m_boxes(boxes)
    {
    }

    bool absolute(Driver& driver) const;
    bool percent(Driver& driver) const;
    bool absoluteWithText(Driver& driver) const;

private:
    const forms::FieldReader& m_fields;
    const DocumentCommands& m_commands;
    Boxes m_boxes;
};

} // namespace documents
