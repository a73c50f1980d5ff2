// The driver members that run a shift and its documents on the device.

#include "EmulatedDriver.h"

using namespace Qt::StringLiterals;

namespace emulator {
namespace {

// The integer data values of the older generation print only when given.
QString dataValue(std::int32_t value)
{
    return value == 0 ? QString() : QString::number(value);
}

} // namespace

// ---- shift -------------------------------------------------------------------------------------

Driver::Result EmulatedDriver::StartSession(const QString& cashier, std::int32_t registerNumber)
{
    return command(u"StartSession", {cashier, registerNumber},
                   [&](Device& d) { return d.startSession(cashier, registerNumber); });
}

Driver::Result EmulatedDriver::EndSession()
{
    return command(u"EndSession", {}, [&](Device& d) {
        return withControlTape(d, [](Device& device) { return device.endSession(); });
    });
}

Driver::Result EmulatedDriver::SetClerk(const QString& cashier)
{
    return command(u"SetClerk", {cashier}, [&](Device& d) { return d.setClerk(cashier); });
}

Driver::Result EmulatedDriver::OpenDrawer()
{
    return command(u"OpenDrawer", {}, [](Device& d) { return d.openDrawer(); });
}

Driver::Result EmulatedDriver::PrintDuplicate()
{
    return command(u"PrintDuplicate", {}, [](Device& d) { return d.printDuplicate(); });
}

// ---- documents ---------------------------------------------------------------------------------

Driver::Result EmulatedDriver::StartDocument(std::int32_t type, std::int16_t department,
                                             const QString& order, const QString& cashier)
{
    const Result result =
        command(u"StartDocument", {type, department, order, cashier},
                [&](Device& d) { return d.startDocument(type, department, order, cashier); });
    if (result == 0)
        m_operationFailed = false;
    return result;
}

Driver::Result EmulatedDriver::SetExtraDocData(std::int32_t value42, std::int32_t value81,
                                               std::int32_t value82, const QString& value80)
{
    return command(u"SetExtraDocData", {value42, value81, value82, value80}, [&](Device& d) {
        return d.setExtraDocData(
            3, 3, {dataValue(value42), dataValue(value81), dataValue(value82), value80});
    });
}

Driver::Result EmulatedDriver::SetExtraDocData2(const QString& value42, const QString& value81,
                                                const QString& value82, const QString& value80)
{
    return command(u"SetExtraDocData2", {value42, value81, value82, value80}, [&](Device& d) {
        return d.setExtraDocData(4, INT_MAX, {value42, value81, value82, value80});
    });
}

Driver::Result EmulatedDriver::EndDocument()
{
    return command(u"EndDocument", {}, [](Device& d) { return d.endDocument(); });
}

Driver::Result EmulatedDriver::CancelDocument()
{
    return command(u"CancelDocument", {}, [](Device& d) { return d.cancelDocument(); });
}

Driver::Result EmulatedDriver::ResetError()
{
    const Result result = command(u"ResetError", {}, [](Device&) { return Failure{}; });
    if (result == 0)
        m_operationFailed = false;
    return result;
}

Driver::Result EmulatedDriver::PrintResult()
{
    return command(u"PrintResult", {}, [](Device& d) { return d.printResult(); });
}

// ---- positions ---------------------------------------------------------------------------------

Driver::Result EmulatedDriver::Item(std::int32_t quantity, std::int32_t price, const QString& name,
                                    std::int32_t taxGroup)
{
    return command(u"Item", {quantity, price, name, taxGroup}, [&](Device& d) {
        return d.registerPosition({EntryKind::Goods, quantity, price, name, taxGroup, 0}, false);
    });
}

Driver::Result EmulatedDriver::ItemEx(std::int32_t quantity, std::int32_t price,
                                      const QString& name, std::int32_t taxGroup,
                                      std::int16_t department)
{
    return command(u"ItemEx", {quantity, price, name, taxGroup, department}, [&](Device& d) {
        return d.registerPosition({EntryKind::Goods, quantity, price, name, taxGroup, department},
                                  true);
    });
}

Driver::Result EmulatedDriver::ItemTare(std::int32_t quantity, std::int32_t price,
                                        const QString& name, std::int32_t taxGroup)
{
    return command(u"ItemTare", {quantity, price, name, taxGroup}, [&](Device& d) {
        return d.registerPosition({EntryKind::Tare, quantity, price, name, taxGroup, 0}, false);
    });
}

Driver::Result EmulatedDriver::ItemTareEx(std::int32_t quantity, std::int32_t price,
                                          const QString& name, std::int32_t taxGroup,
                                          std::int16_t department)
{
    return command(u"ItemTareEx", {quantity, price, name, taxGroup, department}, [&](Device& d) {
        return d.registerPosition({EntryKind::Tare, quantity, price, name, taxGroup, department},
                                  true);
    });
}

Driver::Result EmulatedDriver::ReturnTare(std::int32_t price, std::int32_t quantity)
{
    return command(u"ReturnTare", {price, quantity}, [&](Device& d) {
        return d.registerPosition({EntryKind::TareReturn, quantity, price, QString(), 0, 0}, false);
    });
}

Driver::Result EmulatedDriver::ItemPurchase(std::int32_t quantity, std::int32_t price,
                                            const QString& name, std::int32_t department)
{
    return command(u"ItemPurchase", {quantity, price, name, department}, [&](Device& d) {
        return d.registerPosition({EntryKind::Purchase, quantity, price, name, 0, department},
                                  true);
    });
}

Driver::Result EmulatedDriver::VoidItem(const QVariant& quantity, std::int32_t price,
                                        const QString& name, std::int32_t taxGroup)
{
    return command(u"VoidItem", {quantity, price, name, taxGroup}, [&](Device& d) {
        return d.voidPosition(EntryKind::Goods, quantity, price, name, taxGroup, std::nullopt);
    });
}

Driver::Result EmulatedDriver::VoidItemEx(const QVariant& quantity, std::int32_t price,
                                          const QString& name, std::int32_t taxGroup,
                                          std::int16_t department)
{
    return command(u"VoidItemEx", {quantity, price, name, taxGroup, department}, [&](Device& d) {
        return d.voidPosition(EntryKind::Goods, quantity, price, name, taxGroup, department);
    });
}

Driver::Result EmulatedDriver::VoidItemTare(const QVariant& quantity, std::int32_t price,
                                            const QString& name, std::int32_t taxGroup)
{
    return command(u"VoidItemTare", {quantity, price, name, taxGroup}, [&](Device& d) {
        return d.voidPosition(EntryKind::Tare, quantity, price, name, taxGroup, std::nullopt);
    });
}

Driver::Result EmulatedDriver::VoidItemTareEx(const QVariant& quantity, std::int32_t price,
                                              const QString& name, std::int32_t taxGroup,
                                              std::int16_t department)
{
    return command(
        u"VoidItemTareEx", {quantity, price, name, taxGroup, department}, [&](Device& d) {
            return d.voidPosition(EntryKind::Tare, quantity, price, name, taxGroup, department);
        });
}

Driver::Result EmulatedDriver::VoidReturnTare(std::int32_t price, const QVariant& quantity)
{
    return command(u"VoidReturnTare", {price, quantity}, [&](Device& d) {
        return d.voidPosition(EntryKind::TareReturn, quantity, price, QString(), 0, std::nullopt);
    });
}

Driver::Result EmulatedDriver::RepeatItem()
{
    return command(u"RepeatItem", {}, [](Device& d) { return d.repeatItem(); });
}

Driver::Result EmulatedDriver::CorrectLastItem()
{
    return command(u"CorrectLastItem", {}, [](Device& d) { return d.correctLastItem(); });
}

// ---- corrections and payments ------------------------------------------------------------------

Driver::Result EmulatedDriver::AbsoluteCorrection(std::int32_t amount)
{
    return command(u"AbsoluteCorrection", {amount},
                   [&](Device& d) { return d.absoluteCorrection(amount, std::nullopt); });
}

Driver::Result EmulatedDriver::PercentCorrection(std::int32_t percent)
{
    return command(u"PercentCorrection", {percent},
                   [&](Device& d) { return d.percentCorrection(percent); });
}

Driver::Result EmulatedDriver::AbsoluteCorrectionText(std::int32_t amount, const QString& text)
{
    return command(u"AbsoluteCorrectionText", {amount, text},
                   [&](Device& d) { return d.absoluteCorrection(amount, text); });
}

Driver::Result EmulatedDriver::Tender2(double amount, const QVariant& paymentType,
                                       const QVariant& cardNumber, const QString& documentNumber)
{
    // The mode is read inside the command: it depends on the device's generation, which the
    // device tool may have changed since the last call.
    return command(u"Tender2", {amount, paymentType, cardNumber, documentNumber}, [&](Device& d) {
        return d.tender(amount, paymentType, cardNumber, documentNumber, tenderMode());
    });
}

Driver::Result EmulatedDriver::ResetPayInfo()
{
    return command(u"ResetPayInfo", {}, [](Device& d) { return d.resetPayInfo(); });
}

// ---- text lines --------------------------------------------------------------------------------

Driver::Result EmulatedDriver::TextLine(const QString& text)
{
    const PrintAttributes attributes = printAttributes();
    return command(u"TextLine", {text}, [&](Device& d) { return d.textLine(text, attributes); });
}

Driver::Result EmulatedDriver::AddExtraString(const QString& line)
{
    return command(u"AddExtraString", {line}, [&](Device& d) { return d.addExtraString(line); });
}

Driver::Result EmulatedDriver::ClearExtraStrings()
{
    return command(u"ClearExtraStrings", {}, [](Device& d) { return d.clearExtraStrings(); });
}

Driver::Result EmulatedDriver::AddExtraString2(const QString& text, const QString& number)
{
    return command(u"AddExtraString2", {text, number},
                   [&](Device& d) { return d.addExtraString2(text, number); });
}

Driver::Result EmulatedDriver::ClearExtraStrings2()
{
    return command(u"ClearExtraStrings2", {}, [](Device& d) { return d.clearExtraStrings2(); });
}

Driver::Result EmulatedDriver::SetDescriptorText(std::int16_t number, const QString& text)
{
    return command(u"SetDescriptorText", {number, text},
                   [&](Device& d) { return d.setDescriptorText(number, text); });
}

} // namespace emulator
