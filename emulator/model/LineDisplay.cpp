#include "LineDisplay.h"

#include "PrintableText.h"
#include "Printout.h"

namespace emulator::display {
namespace {

constexpr int kColumns = DisplayScreen::kColumns;
constexpr int kRows = DisplayScreen::kRows;

constexpr char16_t kBackspace = 0x08;
constexpr char16_t kLineFeed = 0x0A;
constexpr char16_t kHome = 0x0B;
constexpr char16_t kFormFeed = 0x0C;
constexpr char16_t kReturn = 0x0D;
constexpr char16_t kDle = 0x10;
constexpr char16_t kEscape = 0x1B;
constexpr char16_t kUnitSeparator = 0x1F;

QString padded(const QString& text)
{
    return text.left(kColumns).leftJustified(kColumns, u' ');
}

// Reads the raw data string one character at a time; a command cut short fails the whole string.
class Terminal
{
public:
    Terminal(DisplayScreen screen, const QString& data) : m_screen(std::move(screen)), m_data(data)
    {
    }

    bool atEnd() const { return m_at >= m_data.size(); }
    std::optional<char16_t> next()
    {
        if (atEnd())
            return std::nullopt;
        return m_data[m_at++].unicode();
    }

    void write(QChar c)
    {
        m_screen.lines[static_cast<std::size_t>(m_screen.row)][m_screen.column] = c;
        if (++m_screen.column == kColumns) {
            m_screen.column = 0;
            m_screen.row = (m_screen.row + 1) % kRows;
        }
    }
    void moveTo(int row, int column)
    {
        m_screen.row = row;
        m_screen.column = column;
    }
    void clear() { m_screen = cleared(); }
    void lineFeed()
    {
        if (m_screen.row + 1 < kRows) {
            ++m_screen.row;
            return;
        }
        m_screen.lines[0] = m_screen.lines[1];
        m_screen.lines[1] = QString(kColumns, u' ');
    }
    void backspace()
    {
        if (m_screen.column > 0)
            --m_screen.column;
    }
    // Replaces line `row` with the text up to the next CR; false without the CR.
    bool replaceLine(int row)
    {
        QString text;
        for (;;) {
            const std::optional<char16_t> c = next();
            if (!c)
                return false;
            if (*c == kReturn)
                break;
            if (!printable(QChar(*c)))
                return false;
            text += QChar(*c);
        }
        m_screen.lines[static_cast<std::size_t>(row)] = padded(text);
        moveTo(row, std::min<int>(static_cast<int>(text.size()), kColumns - 1));
        return true;
    }

    static bool printable(QChar c) { return c.unicode() >= 0x20 && !breaksPrintedLine(c); }

    DisplayScreen screen() const { return m_screen; }

private:
    DisplayScreen m_screen;
    const QString& m_data;
    qsizetype m_at = 0;
};

// The commands both protocols share; false for a character that is none of them.
bool common(Terminal& t, char16_t c)
{
    switch (c) {
    case kFormFeed:
        t.clear();
        return true;
    case kReturn:
        t.moveTo(t.screen().row, 0);
        return true;
    case kLineFeed:
        t.lineFeed();
        return true;
    case kBackspace:
        t.backspace();
        return true;
    default:
        return false;
    }
}

bool epson(Terminal& t, char16_t c)
{
    if (c == kHome) {
        t.moveTo(0, 0);
        return true;
    }
    if (c == kEscape) {
        const auto command = t.next();
        if (command == u'@') {
            t.clear();
            return true;
        }
        if (command == u'Q') {
            const auto line = t.next();
            if (line == u'A' || line == u'B')
                return t.replaceLine(*line == u'A' ? 0 : 1);
        }
        return false;
    }
    if (c == kUnitSeparator) {
        const auto command = t.next();
        if (command == u'B') {
            t.moveTo(1, 0);
            return true;
        }
        if (command == u'$') {
            const auto x = t.next();
            const auto y = t.next();
            if (!x || !y || *x < 1 || *x > kColumns || *y < 1 || *y > kRows)
                return false;
            t.moveTo(*y - 1, *x - 1);
            return true;
        }
        return false;
    }
    return false;
}

bool birch(Terminal& t, char16_t c)
{
    if (c == kDle) {
        const auto place = t.next();
        if (!place || *place >= kColumns * kRows)
            return false;
        t.moveTo(*place / kColumns, *place % kColumns);
        return true;
    }
    if (c == kEscape) {
        const auto command = t.next();
        if (command == u'@') {
            t.clear();
            return true;
        }
        if (command == u'A' || command == u'B') {
            t.moveTo(*command == u'A' ? 0 : 1, 0);
            return true;
        }
        return false;
    }
    return false;
}

} // namespace

DisplayScreen cleared()
{
    return DisplayScreen{};
}

DisplayScreen showing(const QString& text)
{
    DisplayScreen screen;
    QString first = text.left(kColumns);
    QString second = text.mid(kColumns);
    if (!second.isEmpty()) {
        const qsizetype blank = text.lastIndexOf(u' ', kColumns);
        if (blank > 0 && text.size() - blank - 1 <= kColumns) {
            first = text.left(blank);
            second = text.mid(blank + 1);
        }
    }
    screen.lines = {padded(first), padded(second)};
    return screen;
}

std::optional<DisplayScreen> interpret(DisplayScreen screen, const QString& data, Protocol protocol)
{
    Terminal t(std::move(screen), data);
    while (const std::optional<char16_t> c = t.next()) {
        if (Terminal::printable(QChar(*c))) {
            t.write(QChar(*c));
            continue;
        }
        const bool known =
            common(t, *c) || (protocol == Protocol::Epson ? epson(t, *c) : birch(t, *c));
        if (!known)
            return std::nullopt;
    }
    return t.screen();
}

DisplayScreen amounts(const QString& caption1, Kopecks amount1, const QString& caption2,
                      Kopecks amount2)
{
    const auto line = [](const QString& caption, Kopecks amount) {
        const QString sum = formatMoney(amount);
        const qsizetype room = std::max<qsizetype>(0, kColumns - sum.size() - 1);
        return padded(caption.left(room).leftJustified(kColumns - sum.size(), u' ') + sum);
    };
    DisplayScreen screen;
    screen.lines = {line(caption1, amount1), line(caption2, amount2)};
    return screen;
}

} // namespace emulator::display
