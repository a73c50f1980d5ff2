#pragma once

#include "DeviceState.h"
#include "DocumentKinds.h"
#include "Taxes.h"

#include <cstdint>

// The counters the device keeps per department for the X2 report, beside the shift counters and
// counted at the same moments, so that a department's rows add up with the shift's.
namespace emulator {

// One operation within the open document (a discount, a void, a correction...): the document
// adds it to the shift counters when it closes, and to those of `department`.
void countOperation(DocumentBody& body, std::int32_t department, CounterPair pair, Kopecks amount);

// What a closing document of `total` adds to the departments: its operations, and the document
// itself in every department its positions belong to (a document without positions, such as a
// refund, in its own department). A department's sum is its part of the total, as the shift's
// rows count it: its positions, and a share of what the receipt's discounts, surcharges and
// added taxes make of them, shared among the departments whose positions come to more than
// nothing in proportion to them, rounded as `rounding` says.
void countInDepartments(DepartmentCounters& departments, const Document& document, Kopecks total,
                        Rounding rounding);

} // namespace emulator
