#pragma once

#include "Driver.h"

#include <QString>
#include <QVariant>

#include <functional>
#include <optional>
#include <vector>

namespace forms {

// The values an option-editing window edits. The window reads each value from the device when it
// loads and remembers it here; "apply" then reads every control and writes, in the order the
// values were added, only those that differ from what is remembered, showing the driver's comment
// on each write. What a value remembers after its write depends on the value (its Keep rule).
class OptionValues
{
public:
    // What a value remembers after it was written.
    enum class Keep {
        Attempted, // the value sent, whatever the answer: a refused value is not sent again
        Accepted,  // the value sent only when the device took it: a refused value is retried
        AsRead,    // the value it had at load, always: a changed value is sent at every apply
    };

    // What a value is measured against once the window has loaded.
    enum class Reference {
        // What its control shows when loading ends. A device value the control cannot show (a
        // flag other than 0 or 1, an index no button stands for, a read that failed, a box the
        // window forces) is then never written back unless the operator changes the control.
        Shown,
        // The value read from the device, even where the control shows another: the window
        // corrects such a value, and the correction goes out with the next apply.
        Read,
    };

    using Id = std::size_t;
    using StatusSink = std::function<void(const QString&)>;

    // `read` takes the value from the window's control; nothing means the control could not be
    // read, and the reader has already told the operator. Until the window remembers a value
    // read from the device, the value a T starts with is remembered.
    template <typename T>
    Id add(std::function<std::optional<T>()> read, std::function<Driver::Result(const T&)> write,
           Keep keep, Reference reference = Reference::Shown)
    {
        m_entries.push_back(Entry{
            QVariant::fromValue(T{}),
            [read = std::move(read)]() -> std::optional<QVariant> {
                const std::optional<T> value = read();
                return value ? std::optional<QVariant>(QVariant::fromValue(*value)) : std::nullopt;
            },
            [write = std::move(write)](const QVariant& value) { return write(value.value<T>()); },
            keep, reference});
        return m_entries.size() - 1;
    }

    template <typename T> void remember(Id id, const T& value)
    {
        m_entries.at(id).remembered = QVariant::fromValue(value);
    }

    template <typename T> T remembered(Id id) const
    {
        return m_entries.at(id).remembered.template value<T>();
    }

    // Called when the window has shown what it read: every value measured against what is shown
    // remembers what its control now gives (a control that cannot be read keeps what was read).
    void settle();

    // Reads every control first: when one cannot be read nothing is written and the answer is
    // false. Otherwise writes what differs, each write's comment going to `status` (so the last
    // one stays), and answers true. When nothing differs the status is left alone.
    bool apply(Driver& driver, const StatusSink& status);

private:
    struct Entry
    {
        QVariant remembered;
        std::function<std::optional<QVariant>()> read;
        std::function<Driver::Result(const QVariant&)> write;
        Keep keep;
        Reference reference;
    };

    std::vector<Entry> m_entries;
};

} // namespace forms
