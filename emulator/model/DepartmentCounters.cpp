#include "DepartmentCounters.h"

namespace emulator {
namespace {

void add(Counters& counters, Counter counter, qint64 value)
{
    counters[counter] = saturatingAdd(counters[counter], value);
}

} // namespace

void countOperation(DocumentBody& body, std::int32_t department, CounterPair pair, Kopecks amount)
{
    for (Counters* counters : {&body.delta, &body.departmentDelta[department]}) {
        (*counters)[pair.count] += 1;
        (*counters)[pair.sum] += amount;
    }
}

void countInDepartments(DepartmentCounters& departments, const Document& document, Kopecks total,
                        Rounding rounding)
{
    for (auto it = document.body.departmentDelta.cbegin();
         it != document.body.departmentDelta.cend(); ++it) {
        for (int number = 1; number <= kCounterCount; ++number) {
            if (const qint64 value = it.value().at(number); value != 0)
                add(departments[it.key()], static_cast<Counter>(number), value);
        }
    }
    const DocumentKind& kind = documentKind(document.type);
    if (!kind.departmental)
        return;
    QMap<int, Kopecks> sums;
    if (kind.positions) {
        for (const Entry& entry : document.body.entries) {
            if (isPosition(entry.kind))
                sums[entry.department] += entrySign(entry.kind) * entry.amount;
        }
    }
    if (sums.isEmpty())
        sums.insert(document.department, 0);
    // What the corrections and added taxes make of the positions goes to the departments that
    // sold something, by what each sold; with none, to the document's own department.
    Kopecks positions = 0;
    std::vector<int> sellers;
    std::vector<Kopecks> sold;
    for (auto it = sums.cbegin(); it != sums.cend(); ++it) {
        positions += it.value();
        if (it.value() > 0) {
            sellers.push_back(it.key());
            sold.push_back(it.value());
        }
    }
    const Kopecks rest = total - positions;
    const std::optional<std::vector<Kopecks>> shares =
        sellers.empty() ? std::nullopt : apportion(rest, sold, rounding);
    if (shares) {
        for (std::size_t i = 0; i < sellers.size(); ++i)
            sums[sellers[i]] += (*shares)[i];
    } else {
        sums[document.department] += rest;
    }
    for (auto it = sums.cbegin(); it != sums.cend(); ++it) {
        for (const std::optional<CounterPair>& pair : {kind.counted, kind.alsoCounted}) {
            if (pair) {
                add(departments[it.key()], pair->count, 1);
                add(departments[it.key()], pair->sum, it.value());
            }
        }
    }
}

} // namespace emulator
