#pragma once

#include "DriverCall.h"

#include <QJsonObject>

namespace emulator {
class EmulatedDriver;
}

namespace service {

// Runs one call on a client's driver and answers everything the client needs to act on it
// without a second round trip:
//   {"member":"Tender2","result":27,"comment":"Недостаточно оплаты ...","code2":2707,
//    "comment2":"..."}
// "result" is the result code of a command or the value of a query; "comment" the driver's text
// of the result code (commands only); "code2" the extended code of the session's last failure as
// GetErrorCode2 answers it, with "comment2" its text when it is not 0; "out" the values passed out
// through the member's parameters, in order and with their kinds (GetLanguageInfo). The comments
// come in the language the client chose with SetLanguage.
struct CallAnswer
{
    QJsonObject json;
    bool failed = false; // a command that did not answer 0
};
CallAnswer answerCall(emulator::EmulatedDriver& driver, const DriverCall& call);

} // namespace service
