#pragma once

#include "DeviceState.h"
#include "DocumentKinds.h"

#include <cstdint>

// The counters the device keeps per department for the X2 report, beside the shift counters and
// counted at the same moments, so that a department's rows add up with the shift's.
namespace emulator {

// One operation within the open document (a discount, a void, a correction...): the document
// adds it to the shift counters when it closes, and to those of `department`.
void countOperation(DocumentBody& body, std::int32_t department, CounterPair pair, Kopecks amount);

// What a closing document adds to the departments: its operations, and the document itself in
// every department its positions belong to, with the sum of those positions (a document without
// positions, such as a refund, in its own department with its total).
void countInDepartments(DepartmentCounters& departments, const Document& document, Kopecks total);

} // namespace emulator
