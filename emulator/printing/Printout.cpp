#include "Printout.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace emulator {

QStringList Printout::takeLines()
{
    QStringList taken;
    taken.swap(m_lines);
    return taken;
}

QMap<qsizetype, int> Printout::takeStyles()
{
    QMap<qsizetype, int> taken;
    taken.swap(m_styles);
    return taken;
}

void Printout::styleFrom(qsizetype first, int style)
{
    for (qsizetype i = std::max<qsizetype>(first, 0); i < m_lines.size(); ++i)
        m_styles[i] |= style;
}

void Printout::line(const QString& text)
{
    // A long text wraps at the last blank that fits, the blank itself dropped; a word longer than
    // the line is cut where the line ends.
    qsizetype from = 0;
    while (text.size() - from > m_width) {
        const qsizetype blank = text.lastIndexOf(u' ', from + m_width);
        const qsizetype end = blank > from ? blank : from + m_width;
        m_lines.append(text.mid(from, end - from));
        from = blank > from ? blank + 1 : end;
    }
    m_lines.append(text.mid(from));
}

void Printout::centered(const QString& text)
{
    if (text.size() >= m_width) {
        line(text);
        return;
    }
    const qsizetype pad = (m_width - text.size()) / 2;
    m_lines.append(QString(pad, u' ') + text);
}

namespace {
constexpr QChar kBoldMark = u'\u0002';
constexpr QChar kTallMark = u'\u0003';
} // namespace

void Printout::styled(const QString& text, bool centred, bool bold, bool tall)
{
    Printout plain(m_width);
    if (centred)
        plain.centered(text);
    else
        plain.line(text);
    const QString marks = QString(bold ? 1 : 0, kBoldMark) + QString(tall ? 1 : 0, kTallMark);
    for (const QString& laid : plain.lines())
        m_lines.append(marks + laid);
}

TapeText tapeText(const QString& line)
{
    TapeText text;
    qsizetype at = 0;
    for (; at < line.size(); ++at) {
        if (line.at(at) == kBoldMark)
            text.bold = true;
        else if (line.at(at) == kTallMark)
            text.tall = true;
        else
            break;
    }
    text.text = line.mid(at);
    return text;
}

void Printout::columns(const QString& left, const QString& right)
{
    const qsizetype gap = m_width - left.size() - right.size();
    if (gap >= 1) {
        m_lines.append(left + QString(gap, u' ') + right);
        return;
    }
    line(left);
    m_lines.append(right.rightJustified(m_width, u' '));
}

void Printout::separator(QChar c)
{
    m_lines.append(QString(m_width, c));
}

void Printout::amountLine(const QString& caption, Kopecks amount)
{
    columns(caption, u'=' + formatMoney(amount));
}

void Printout::raster(const Raster& raster)
{
    if (!raster.isEmpty())
        m_lines.append(rasterTapeLine(raster));
}

void Printout::attributed(const QString& text, Attributes attributes)
{
    QString shown = text;
    if (attributes.doubleWidth) {
        shown.clear();
        for (QChar c : text) {
            shown += c;
            shown += u' ';
        }
        shown.chop(1);
    }
    const int style = (attributes.doubleWidth ? TapeStyle::DoubleWidth : 0) |
                      (attributes.doubleHeight ? TapeStyle::DoubleHeight : 0);
    const qsizetype first = m_lines.size();
    line(shown);
    styleFrom(first, style);
    if (attributes.doubleHeight) {
        const qsizetype lower = m_lines.size();
        line(shown);
        styleFrom(lower, style | TapeStyle::LowerHalf);
    }
    if (attributes.underline) {
        const qsizetype rule = m_lines.size();
        line(QString(std::min<qsizetype>(shown.size(), m_width), u'_'));
        styleFrom(rule, TapeStyle::Underline);
    }
}

QString formatMoney(Kopecks amount)
{
    const bool negative = amount < 0;
    // Take the magnitude as unsigned so that the most negative value does not overflow.
    const auto magnitude = negative ? 0ULL - static_cast<unsigned long long>(amount)
                                    : static_cast<unsigned long long>(amount);
    return (negative ? u"-"_s : QString()) + QString::number(magnitude / 100) + u'.' +
           QString::number(magnitude % 100).rightJustified(2, u'0');
}

QString formatQuantity(qint64 thousandths)
{
    const bool negative = thousandths < 0;
    const auto magnitude = negative ? 0ULL - static_cast<unsigned long long>(thousandths)
                                    : static_cast<unsigned long long>(thousandths);
    return (negative ? u"-"_s : QString()) + QString::number(magnitude / 1000) + u'.' +
           QString::number(magnitude % 1000).rightJustified(3, u'0');
}

} // namespace emulator
