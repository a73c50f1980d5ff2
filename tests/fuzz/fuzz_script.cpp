// Feeds arbitrary texts to the reader of the driver call scripts that quolt-device replays: a
// script is refused with a reason or read, never a crash; a script that reads, written out again
// call by call, reads back to the same calls.
#include "CallScript.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

QByteArray written(const QList<callscript::ScriptCall>& calls)
{
    QByteArray text = callscript::header();
    for (const callscript::ScriptCall& call : calls)
        text += callscript::line(call.call);
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer input(&text);
    input.open(QIODevice::ReadOnly);
    QString error;
    const auto calls = callscript::read(input, &error);
    if (!calls) {
        if (error.isEmpty())
            std::abort(); // a refusal always says why
        return 0;
    }
    QByteArray again = written(*calls);
    QBuffer second(&again);
    second.open(QIODevice::ReadOnly);
    const auto reread = callscript::read(second, &error);
    if (!reread || reread->size() != calls->size() || written(*reread) != again)
        std::abort();
    return 0;
}
