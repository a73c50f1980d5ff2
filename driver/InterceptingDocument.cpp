#include "InterceptingDriver.h"

// The members that fill an open document: positions, corrections, payments and text lines.

using namespace Qt::StringLiterals;

Driver::Result InterceptingDriver::Item(std::int32_t quantity, std::int32_t price,
                                        const QString& name, std::int32_t taxGroup)
{
    return call<Result>(u"Item"_s, {quantity, price, name, taxGroup},
                        [&] { return target().Item(quantity, price, name, taxGroup); });
}

Driver::Result InterceptingDriver::ItemEx(std::int32_t quantity, std::int32_t price,
                                          const QString& name, std::int32_t taxGroup,
                                          std::int16_t department)
{
    return call<Result>(u"ItemEx"_s, {quantity, price, name, taxGroup, department}, [&] {
        return target().ItemEx(quantity, price, name, taxGroup, department);
    });
}

Driver::Result InterceptingDriver::ItemTare(std::int32_t quantity, std::int32_t price,
                                            const QString& name, std::int32_t taxGroup)
{
    return call<Result>(u"ItemTare"_s, {quantity, price, name, taxGroup},
                        [&] { return target().ItemTare(quantity, price, name, taxGroup); });
}

Driver::Result InterceptingDriver::ItemTareEx(std::int32_t quantity, std::int32_t price,
                                              const QString& name, std::int32_t taxGroup,
                                              std::int16_t department)
{
    return call<Result>(u"ItemTareEx"_s, {quantity, price, name, taxGroup, department}, [&] {
        return target().ItemTareEx(quantity, price, name, taxGroup, department);
    });
}

Driver::Result InterceptingDriver::ReturnTare(std::int32_t price, std::int32_t quantity)
{
    return call<Result>(u"ReturnTare"_s, {price, quantity},
                        [&] { return target().ReturnTare(price, quantity); });
}

Driver::Result InterceptingDriver::ItemPurchase(std::int32_t quantity, std::int32_t price,
                                                const QString& name, std::int32_t department)
{
    return call<Result>(u"ItemPurchase"_s, {quantity, price, name, department},
                        [&] { return target().ItemPurchase(quantity, price, name, department); });
}

Driver::Result InterceptingDriver::VoidItem(const QVariant& quantity, std::int32_t price,
                                            const QString& name, std::int32_t taxGroup)
{
    return call<Result>(u"VoidItem"_s, {quantity, price, name, taxGroup},
                        [&] { return target().VoidItem(quantity, price, name, taxGroup); });
}

Driver::Result InterceptingDriver::VoidItemEx(const QVariant& quantity, std::int32_t price,
                                              const QString& name, std::int32_t taxGroup,
                                              std::int16_t department)
{
    return call<Result>(u"VoidItemEx"_s, {quantity, price, name, taxGroup, department}, [&] {
        return target().VoidItemEx(quantity, price, name, taxGroup, department);
    });
}

Driver::Result InterceptingDriver::VoidItemTare(const QVariant& quantity, std::int32_t price,
                                                const QString& name, std::int32_t taxGroup)
{
    return call<Result>(u"VoidItemTare"_s, {quantity, price, name, taxGroup},
                        [&] { return target().VoidItemTare(quantity, price, name, taxGroup); });
}

Driver::Result InterceptingDriver::VoidItemTareEx(const QVariant& quantity, std::int32_t price,
                                                  const QString& name, std::int32_t taxGroup,
                                                  std::int16_t department)
{
    return call<Result>(u"VoidItemTareEx"_s, {quantity, price, name, taxGroup, department}, [&] {
        return target().VoidItemTareEx(quantity, price, name, taxGroup, department);
    });
}

Driver::Result InterceptingDriver::VoidReturnTare(std::int32_t price, const QVariant& quantity)
{
    return call<Result>(u"VoidReturnTare"_s, {price, quantity},
                        [&] { return target().VoidReturnTare(price, quantity); });
}

Driver::Result InterceptingDriver::RepeatItem()
{
    return call<Result>(u"RepeatItem"_s, {}, [&] { return target().RepeatItem(); });
}

Driver::Result InterceptingDriver::CorrectLastItem()
{
    return call<Result>(u"CorrectLastItem"_s, {}, [&] { return target().CorrectLastItem(); });
}

Driver::Result InterceptingDriver::AbsoluteCorrection(std::int32_t amount)
{
    return call<Result>(u"AbsoluteCorrection"_s, {amount},
                        [&] { return target().AbsoluteCorrection(amount); });
}

Driver::Result InterceptingDriver::PercentCorrection(std::int32_t percent)
{
    return call<Result>(u"PercentCorrection"_s, {percent},
                        [&] { return target().PercentCorrection(percent); });
}

Driver::Result InterceptingDriver::AbsoluteCorrectionText(std::int32_t amount, const QString& text)
{
    return call<Result>(u"AbsoluteCorrectionText"_s, {amount, text},
                        [&] { return target().AbsoluteCorrectionText(amount, text); });
}

Driver::Result InterceptingDriver::Tender2(double amount, const QVariant& paymentType,
                                           const QVariant& cardNumber,
                                           const QString& documentNumber)
{
    return call<Result>(u"Tender2"_s, {amount, paymentType, cardNumber, documentNumber}, [&] {
        return target().Tender2(amount, paymentType, cardNumber, documentNumber);
    });
}

Driver::Result InterceptingDriver::ResetPayInfo()
{
    return call<Result>(u"ResetPayInfo"_s, {}, [&] { return target().ResetPayInfo(); });
}

Driver::Result InterceptingDriver::TextLine(const QString& text)
{
    return call<Result>(u"TextLine"_s, {text}, [&] { return target().TextLine(text); });
}

Driver::Result InterceptingDriver::AddExtraString(const QString& line)
{
    return call<Result>(u"AddExtraString"_s, {line}, [&] { return target().AddExtraString(line); });
}

Driver::Result InterceptingDriver::ClearExtraStrings()
{
    return call<Result>(u"ClearExtraStrings"_s, {}, [&] { return target().ClearExtraStrings(); });
}

Driver::Result InterceptingDriver::AddExtraString2(const QString& text, const QString& number)
{
    return call<Result>(u"AddExtraString2"_s, {text, number},
                        [&] { return target().AddExtraString2(text, number); });
}

Driver::Result InterceptingDriver::ClearExtraStrings2()
{
    return call<Result>(u"ClearExtraStrings2"_s, {}, [&] { return target().ClearExtraStrings2(); });
}

Driver::Result InterceptingDriver::SetDescriptorText(std::int16_t number, const QString& text)
{
    return call<Result>(u"SetDescriptorText"_s, {number, text},
                        [&] { return target().SetDescriptorText(number, text); });
}
