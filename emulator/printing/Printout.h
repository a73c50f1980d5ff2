#pragma once

#include "DeviceState.h"
#include "Raster.h"

#include <QMap>
#include <QString>
#include <QStringList>

namespace emulator {

// How a printed line is drawn. The tape keeps the text as printed (a double-width line with its
// letters spread, a double-height line twice); the style tells a picture of the tape how to draw
// it. The second row of a double-height line is marked as its lower half.
namespace TapeStyle {
inline constexpr int Plain = 0;
inline constexpr int Bold = 1;
inline constexpr int DoubleWidth = 2;
inline constexpr int DoubleHeight = 4;
inline constexpr int LowerHalf = 8;
inline constexpr int Underline = 16; // the rule printed under an underlined line
inline constexpr int FullCut = 32;   // the paper after this line was cut through, not torn
inline constexpr int SmallFont = 64; // printed in the small font (a bar code's readable text)
} // namespace TapeStyle

// Lays out the text the device prints on its paper tape: lines never exceed the tape's width.
class Printout
{
public:
    explicit Printout(int width) : m_width(width) {}

    int width() const { return m_width; }
    const QStringList& lines() const { return m_lines; }
    QStringList takeLines();
    // How the lines taken last are drawn, by their index there: only lines that are not plain.
    QMap<qsizetype, int> takeStyles();

    void line(const QString& text); // long text wraps, at a blank where there is one
    void centered(const QString& text);
    void columns(const QString& left, const QString& right); // right part flush right
    void separator(QChar c = u'-');
    void amountLine(const QString& caption, Kopecks amount); // "ИТОГ   =12.50"
    // A picture or bar code: one tape line that holds the raster (see rasterTapeLine).
    void raster(const Raster& raster);

    // Print attributes of a text line: double width spreads the letters, double height takes
    // two rows, underline adds a rule under the text.
    struct Attributes
    {
        bool doubleWidth = false;
        bool doubleHeight = false;
        bool underline = false;
    };
    void attributed(const QString& text, Attributes attributes);

    // A line printed bold and/or tall: the tape keeps the style with the line (see tapeText).
    void styled(const QString& text, bool centred, bool bold, bool tall);
    // Marks the lines from `first` to the last one printed as drawn in `style` (TapeStyle).
    void styleFrom(qsizetype first, int style);

private:
    int m_width;
    QStringList m_lines;
    QMap<qsizetype, int> m_styles;
};

// A tape line as printed: its text and the style it was printed in. Printed texts never hold
// control characters, so the style marks that start a styled line cannot be mistaken for text.
struct TapeText
{
    QString text;
    bool bold = false;
    bool tall = false;
};
TapeText tapeText(const QString& line);

QString formatMoney(Kopecks amount);        // 1250 -> "12.50", -5 -> "-0.05"
QString formatQuantity(qint64 thousandths); // 1500 -> "1.500"

} // namespace emulator
