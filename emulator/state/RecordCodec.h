#pragma once

// How the device's record is encoded: numbers little-endian in their own width, a text as its
// length in UTF-16 units and its units, a list or a map as its count and its elements, an
// optional value as a flag and the value. The record is written at every call, so writing it
// only appends bytes; reading it checks every count against the bytes left, so a damaged record
// is refused before it can ask for more memory than it holds.

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <type_traits>

namespace emulator {

class RecordWriter
{
public:
    explicit RecordWriter(QByteArray& out) : m_out(out) {}

    qsizetype size() const { return m_out.size(); }
    // Writes `value` again over the four bytes at `at` (a length known once what it measures is).
    void rewrite32(qsizetype at, quint32 value);

    RecordWriter& operator<<(bool value) { return number(quint8(value ? 1 : 0)); }
    RecordWriter& operator<<(quint8 value) { return number(value); }
    RecordWriter& operator<<(quint16 value) { return number(value); }
    RecordWriter& operator<<(qint32 value) { return number(value); }
    RecordWriter& operator<<(quint32 value) { return number(value); }
    RecordWriter& operator<<(qint64 value) { return number(value); }
    RecordWriter& operator<<(const QString& text);

    template <typename T> RecordWriter& operator<<(const QList<T>& list)
    {
        *this << quint32(list.size());
        for (const T& element : list)
            *this << element;
        return *this;
    }

    template <typename K, typename V> RecordWriter& operator<<(const QMap<K, V>& map)
    {
        *this << quint32(map.size());
        for (auto it = map.cbegin(); it != map.cend(); ++it)
            *this << it.key() << it.value();
        return *this;
    }

    template <typename T, std::size_t N> RecordWriter& operator<<(const std::array<T, N>& array)
    {
        for (const T& element : array)
            *this << element;
        return *this;
    }

    template <typename T> RecordWriter& operator<<(const std::optional<T>& value)
    {
        *this << value.has_value();
        if (value)
            *this << *value;
        return *this;
    }

private:
    template <typename T> RecordWriter& number(T value)
    {
        const T little = qToLittleEndian(value);
        put(&little, sizeof little);
        return *this;
    }
    // Appends bytes by a copy: QByteArray's own append goes through its general insertion, which
    // cost more than the rest of writing the record, written at every call.
    void put(const void* bytes, qsizetype count)
    {
        const qsizetype at = m_out.size();
        if (m_out.capacity() < at + count)
            m_out.reserve(std::max(2 * m_out.capacity(), at + count));
        m_out.resize(at + count);
        std::memcpy(m_out.data() + at, bytes, std::size_t(count));
    }

    QByteArray& m_out;
};

class RecordReader
{
public:
    RecordReader(const char* data, qsizetype size) : m_at(data), m_end(data + size) {}

    bool ok() const { return m_ok; }
    bool atEnd() const { return m_at == m_end; }
    qsizetype left() const { return m_end - m_at; }
    // Marks the record damaged: everything read from then on is nothing.
    void damage()
    {
        m_ok = false;
        m_at = m_end;
    }
    // The next `length` bytes as a reader of their own, skipped here; damage when there are fewer.
    RecordReader part(qsizetype length);
    // The bytes from here to the end.
    const char* position() const { return m_at; }

    RecordReader& operator>>(bool& value);
    RecordReader& operator>>(quint8& value) { return number(value); }
    RecordReader& operator>>(quint16& value) { return number(value); }
    RecordReader& operator>>(qint32& value) { return number(value); }
    RecordReader& operator>>(quint32& value) { return number(value); }
    RecordReader& operator>>(qint64& value) { return number(value); }
    RecordReader& operator>>(QString& text);

    // A count of elements that each take at least a byte, no more than the bytes left.
    quint32 count();

    template <typename T> RecordReader& operator>>(QList<T>& list)
    {
        list.clear();
        const quint32 n = count();
        for (quint32 i = 0; i < n && m_ok; ++i) {
            T element{};
            *this >> element;
            list.append(std::move(element));
        }
        if (!m_ok)
            list.clear();
        return *this;
    }

    template <typename K, typename V> RecordReader& operator>>(QMap<K, V>& map)
    {
        map.clear();
        const quint32 n = count();
        for (quint32 i = 0; i < n && m_ok; ++i) {
            K key{};
            V value{};
            *this >> key >> value;
            map.insert(key, std::move(value));
        }
        // Keys are written in order, once each.
        if (m_ok && quint32(map.size()) != n)
            damage();
        return *this;
    }

    template <typename T, std::size_t N> RecordReader& operator>>(std::array<T, N>& array)
    {
        for (T& element : array)
            *this >> element;
        return *this;
    }

    template <typename T> RecordReader& operator>>(std::optional<T>& value)
    {
        bool present = false;
        *this >> present;
        value.reset();
        if (present && m_ok)
            *this >> value.emplace();
        return *this;
    }

private:
    template <typename T> RecordReader& number(T& value)
    {
        value = T{};
        if (left() < qsizetype(sizeof(T))) {
            damage();
            return *this;
        }
        T little;
        std::memcpy(&little, m_at, sizeof little);
        value = qFromLittleEndian(little);
        m_at += sizeof little;
        return *this;
    }

    const char* m_at;
    const char* m_end;
    bool m_ok = true;
};

} // namespace emulator
