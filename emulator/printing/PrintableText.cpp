#include "PrintableText.h"

using namespace Qt::StringLiterals;

namespace emulator {
namespace {

// Whether the character at `at` is a surrogate whose partner is missing.
bool unpairedSurrogate(const QString& text, qsizetype at)
{
    const QChar c = text.at(at);
    if (c.isHighSurrogate())
        return at + 1 >= text.size() || !text.at(at + 1).isLowSurrogate();
    if (c.isLowSurrogate())
        return at == 0 || !text.at(at - 1).isHighSurrogate();
    return false;
}

} // namespace

bool breaksPrintedLine(QChar c)
{
    switch (c.category()) {
    case QChar::Other_Control:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        break;
    }
    const char16_t u = c.unicode();
    return u == 0x061C                      // Arabic letter mark
           || u == 0x200E || u == 0x200F    // left-to-right and right-to-left marks
           || (u >= 0x202A && u <= 0x202E)  // embeddings, pop, overrides
           || (u >= 0x2066 && u <= 0x2069); // isolates
}

bool breaksPrintedText(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (breaksPrintedLine(text.at(i)) || unpairedSurrogate(text, i))
            return true;
    }
    return false;
}

QString escapedForLog(const QString& text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r')
            escaped += u"\\r"_s;
        else if (c == u'\n')
            escaped += u"\\n"_s;
        else if (breaksPrintedLine(c) || unpairedSurrogate(text, i))
            escaped += u"\\u%1"_s.arg(uint(c.unicode()), 4, 16, QChar(u'0'));
        else
            escaped += c;
    }
    return escaped;
}

} // namespace emulator
