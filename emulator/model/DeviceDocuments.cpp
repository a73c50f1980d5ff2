// Opening, ending and cancelling documents, text lines, and the lines printed on every receipt.

#include "Device.h"
#include "DeviceNumbers.h"
#include "TapeLayout.h"

using namespace Qt::StringLiterals;

namespace emulator {
namespace {

constexpr int kMaxOrderLength = 20;

} // namespace

Failure Device::startDocument(std::int32_t type, std::int32_t department, const QString& order,
                              const QString& cashier)
{
    if (type < ::DocumentType::First || type > ::DocumentType::Last)
        return fail(ErrorCode::UnknownDocumentType);
    const auto documentType = static_cast<DocumentType>(type);
    if (documentType == DocumentType::TextWithoutNumber && m_state.major < 4)
        return fail(ErrorCode::NotSupportedByGeneration);
    if (m_state.document)
        return fail(ErrorCode::DocumentAlreadyOpen, Reason::DocumentPending);
    if (const Failure f = requireShift(); !f.ok())
        return f;
    if (department < 1)
        return fail(ErrorCode::InvalidValue, Reason::NotPositive);
    if (department > kMaxDepartment)
        return fail(ErrorCode::InvalidValue, Reason::TooLarge);
    if (const Failure f = checkText(order, kMaxOrderLength); !f.ok())
        return f;
    if (const Failure f = checkText(cashier, kMaxCashierLength); !f.ok())
        return f;
    if (const Failure f = checkEklzSpace(documentType); !f.ok())
        return f;
    if (const Failure f = checkPrinter(); !f.ok())
        return f;
    if (const Failure f = checkSlip(); !f.ok())
        return f;

    Document document;
    document.type = documentType;
    document.number =
        documentType == DocumentType::TextWithoutNumber ? 0 : m_state.allDocuments + 1;
    document.department = department;
    document.order = order;
    document.cashier = cashier.isEmpty() ? m_state.cashier : cashier;
    document.openedAt = now();
    m_state.document = document;
    Printout out = paper();
    tape::documentHeader(out, m_state, document);
    print(out);
    m_state.pendingExtraData.clear();
    return kOk;
}

Failure Device::setExtraDocData(int firstGeneration, int lastGeneration, const QStringList& values)
{
    if (m_state.major < firstGeneration || m_state.major > lastGeneration)
        return fail(ErrorCode::NotSupportedByGeneration);
    if (m_state.document)
        return fail(ErrorCode::DocumentAlreadyOpen, Reason::DocumentPending);
    // The descriptors under which the four values print.
    static const int descriptors[] = {Descriptor::Row42, Descriptor::Row81, Descriptor::Row82,
                                      Descriptor::Row80};
    QStringList lines;
    for (qsizetype i = 0; i < values.size() && i < 4; ++i) {
        if (values[i].isEmpty())
            continue;
        // A value takes a whole line; its row number goes on a line of its own when the two do
        // not fit one.
        if (const Failure f = checkText(values[i], m_state.lineWidth); !f.ok())
            return f;
        const QString label = descriptorCaption(descriptors[i]) + u':';
        if (label.size() + 1 + values[i].size() <= m_state.lineWidth)
            lines.append(label + u' ' + values[i]);
        else
            lines << label << values[i];
    }
    m_state.pendingExtraData = lines;
    return kOk;
}

// Every document that ends, closed or cancelled, leaves the device here.
void Device::finishDocument(bool cancelled, Kopecks total)
{
    const Document& document = *m_state.document;
    if (document.number > 0)
        m_state.allDocuments += 1;
    // A cancelled document took its number but was not issued: it counts among all documents
    // only, whether it was fiscal or not.
    if (documentKind(document.type).nonFiscal && !cancelled)
        m_state.nonFiscalDocuments += 1;
    m_state.lastDocumentAt = now();
    if (m_state.peripherals.slip.on)
        printOnSlip(document);
    m_effects.documents.append(Effects::IssuedDocument{
        document.number, static_cast<int>(document.type), m_state.shiftNumber,
        m_state.lastDocumentAt, total, cancelled, document.lines});
    m_state.document.reset();
    tearOff();
}

Failure Device::endDocument()
{
    if (!m_state.document)
        return fail(ErrorCode::NoOpenDocument);
    if (!documentKind(m_state.document->type).text)
        return closeDocument();
    if (const Failure f = checkPrinter(); !f.ok())
        return f;
    Printout out = paper();
    tape::textDocumentEnd(out, *m_state.document);
    print(out);
    finishDocument(false, 0);
    return kOk;
}

Failure Device::cancelDocument()
{
    if (!m_state.document)
        return fail(ErrorCode::NoOpenDocument);
    if (const Failure f = checkPrinter(); !f.ok())
        return f;
    const DocumentKind& kind = documentKind(m_state.document->type);
    const Kopecks total = kind.positions ? documentTotal() : paidTotal();
    // A fiscal document that was begun stays accounted for: cancelled, it still takes the next
    // KPK number and goes to the control tape, marked cancelled, so that the control tape of the
    // shift shows every receipt begun. Text documents never reach the control tape.
    Printout out = paper();
    tape::cancelled(out, m_state, kind.text ? 0 : m_state.lastKpk + 1);
    print(out);
    if (!kind.text) {
        addToBoth(Counter::CancelledCount, 1);
        addToBoth(Counter::CancelledSum, total);
    }
    finishDocument(true, total);
    if (!kind.text)
        putOnControlTape();
    return kOk;
}

void Device::putOnControlTape()
{
    m_state.lastKpk += 1;
    m_state.eklzLastAt = m_state.lastDocumentAt;
    m_effects.documents.last().kpk = m_state.lastKpk;
}

// ---- text --------------------------------------------------------------------------------------

Failure Device::textLine(const QString& text, PrintAttributes attributes)
{
    if (!m_state.document)
        return fail(ErrorCode::NoOpenDocument);
    if (!documentKind(m_state.document->type).text && m_state.major < 5)
        return fail(ErrorCode::NotSupportedByGeneration);
    // Print attributes belong to the unnumbered text document of generation 4 and later.
    if (m_state.document->type != DocumentType::TextWithoutNumber || m_state.major < 4)
        attributes = PrintAttributes{};
    const int limit = attributes.doubleWidth ? m_state.lineWidth / 2 : m_state.lineWidth;
    if (const Failure f = checkText(text, limit); !f.ok())
        return f;
    if (const Failure f = checkPrinter(); !f.ok())
        return f;
    Printout out = paper();
    out.attributed(text, {attributes.doubleWidth, attributes.doubleHeight, attributes.underline});
    print(out);
    return kOk;
}

Failure Device::addExtraString(const QString& line)
{
    if (m_state.major < 4)
        return fail(ErrorCode::NotSupportedByGeneration);
    if (const Failure f = checkText(line, kMaxExtraStringLength); !f.ok())
        return f;
    if (m_state.extraStrings.size() >= kMaxExtraStrings)
        return fail(ErrorCode::InvalidValue, Reason::TooLarge);
    m_state.extraStrings.append(line);
    return kOk;
}

Failure Device::clearExtraStrings()
{
    if (m_state.major < 4)
        return fail(ErrorCode::NotSupportedByGeneration);
    m_state.extraStrings.clear();
    return kOk;
}

Failure Device::addExtraString2(const QString& text, const QString& number)
{
    if (m_state.major < 6)
        return fail(ErrorCode::NotSupportedByGeneration);
    // Without a number the line goes after the last one.
    int index = m_state.extraStrings2.isEmpty() ? 1 : m_state.extraStrings2.lastKey() + 1;
    if (!number.trimmed().isEmpty()) {
        bool ok = false;
        index = number.trimmed().toInt(&ok);
        if (!ok)
            return fail(ErrorCode::InvalidValue, Reason::NotANumber);
    }
    if (index < 1)
        return fail(ErrorCode::InvalidValue, Reason::NotPositive);
    if (index > kMaxExtraStrings)
        return fail(ErrorCode::InvalidValue, Reason::TooLarge);
    if (const Failure f = checkText(text, m_state.lineWidth); !f.ok())
        return f;
    m_state.extraStrings2.insert(index, text);
    return kOk;
}

Failure Device::clearExtraStrings2()
{
    if (m_state.major < 6)
        return fail(ErrorCode::NotSupportedByGeneration);
    m_state.extraStrings2.clear();
    return kOk;
}

} // namespace emulator
