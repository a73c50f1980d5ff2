#pragma once

#include <QHash>
#include <QString>

class QWidget;

namespace forms {

// The tooltips of the program's windows: what each command button asks of the driver, and the
// unit, range or length each box takes. They live in one table, by window class and control
// name, rather than in every form, and are given to a window when it loads.
//
// A control that has a tooltip of its own keeps it. A box bound to a spinner also shows the
// values the spinner takes. An entry whose name ends in '_' stands for every control of that
// array (CmdEditChain_ for CmdEditChain_0 ... CmdEditChain_7).
void applyHints(QWidget& window);

namespace hints {

// Control name -> hint, for each window class (named without its namespace).
using Table = QHash<QString, QHash<QString, QString>>;
const Table& table();

} // namespace hints
} // namespace forms
