#include "OptionValues.h"

namespace forms {

void OptionValues::settle()
{
    for (Entry& entry : m_entries) {
        if (entry.reference != Reference::Shown)
            continue;
        if (std::optional<QVariant> shown = entry.read())
            entry.remembered = std::move(*shown);
    }
}

bool OptionValues::apply(Driver& driver, const StatusSink& status)
{
    std::vector<QVariant> shown;
    shown.reserve(m_entries.size());
    for (const Entry& entry : m_entries) {
        std::optional<QVariant> value = entry.read();
        if (!value)
            return false;
        shown.push_back(std::move(*value));
    }
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        Entry& entry = m_entries[i];
        if (shown[i] == entry.remembered)
            continue;
        const Driver::Result result = entry.write(shown[i]);
        status(driver.GetErrorComment(result));
        if (entry.keep == Keep::Attempted || (entry.keep == Keep::Accepted && result == 0))
            entry.remembered = shown[i];
    }
    return true;
}

} // namespace forms
