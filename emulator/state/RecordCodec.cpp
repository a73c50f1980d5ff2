#include "RecordCodec.h"

namespace emulator {

void RecordWriter::rewrite32(qsizetype at, quint32 value)
{
    qToLittleEndian(value, m_out.data() + at);
}

RecordWriter& RecordWriter::operator<<(const QString& text)
{
    *this << quint32(text.size());
    if constexpr (QSysInfo::ByteOrder == QSysInfo::LittleEndian) {
        put(text.utf16(), text.size() * 2);
    } else {
        for (QChar c : text)
            number(quint16(c.unicode()));
    }
    return *this;
}

RecordReader RecordReader::part(qsizetype length)
{
    if (length < 0 || length > left()) {
        damage();
        return RecordReader(m_end, 0);
    }
    RecordReader inner(m_at, length);
    m_at += length;
    return inner;
}

RecordReader& RecordReader::operator>>(bool& value)
{
    quint8 byte = 0;
    number(byte);
    if (byte > 1)
        damage();
    value = byte == 1;
    return *this;
}

RecordReader& RecordReader::operator>>(QString& text)
{
    text.clear();
    quint32 units = 0;
    number(units);
    if (!m_ok)
        return *this;
    if (quint64(units) * 2 > quint64(left())) {
        damage();
        return *this;
    }
    text.resize(qsizetype(units));
    std::memcpy(text.data(), m_at, std::size_t(units) * 2);
    if constexpr (QSysInfo::ByteOrder != QSysInfo::LittleEndian) {
        for (QChar& c : text)
            c = QChar(qFromLittleEndian(quint16(c.unicode())));
    }
    m_at += std::size_t(units) * 2;
    return *this;
}

quint32 RecordReader::count()
{
    quint32 n = 0;
    number(n);
    if (m_ok && n > quint64(left()))
        damage();
    return m_ok ? n : 0;
}

} // namespace emulator
