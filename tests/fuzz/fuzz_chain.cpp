// Feeds arbitrary texts to the chain text reader and the device's check: whatever the text, the
// reader ends, writes a 20-character canonical text the device accepts, and reading that text
// again changes nothing. A text the device accepts is already canonical.
#include "TaxChain.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString canonical = taxchain::write(taxchain::read(text));
    if (canonical.size() != taxchain::kLength)
        std::abort();
    if (taxchain::check(canonical) != taxchain::Defect::None)
        std::abort();
    if (taxchain::write(taxchain::read(canonical)) != canonical)
        std::abort();
    if (taxchain::check(text) == taxchain::Defect::None && canonical != text)
        std::abort();
    return 0;
}
