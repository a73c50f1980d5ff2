#pragma once

#include "InterceptingDriver.h"
#include "ResultCodes.h"

#include <QHash>
#include <QList>
#include <QQueue>
#include <QStringList>

#include <functional>
#include <optional>

// The recording fake driver: it answers every member from a script and records each call with the
// text that the calling window's status line showed at that moment.
//
// Answers are looked up in this order: the queue for (member, first argument), the queue for the
// member, the fixed answer for (member, first argument), the fixed answer for the member. Without
// any, a command answers 0, a query 0 or an empty text, GetErrorComment(r) "comment(r)" and
// GetErrorComment2(c) "comment2(c)". The first argument is the index of the information queries
// (GetDeviceInfo(DeviceInfo::MajorVersion), GetDocInfo(DocInfo::Amount) ...).
class FakeDriver final : public InterceptingDriver
{
public:
    struct Record
    {
        DriverCall call;
        QString status; // the status line while the call ran
    };

    struct Language
    {
        QString name;
        QString text2;
        std::int32_t id = 0;
        std::int32_t current = 0;
    };

    static QString comment(int code) { return QStringLiteral("comment(%1)").arg(code); }
    static QString comment(ErrorCode code) { return comment(resultCode(code)); }
    static QString comment2(int code) { return QStringLiteral("comment2(%1)").arg(code); }

    void answer(const QString& member, const QVariant& value) { m_fixed[key(member)] = value; }
    void answerAt(const QString& member, int index, const QVariant& value)
    {
        m_fixed[key(member, index)] = value;
    }
    void queue(const QString& member, const QVariantList& values);
    void queueAt(const QString& member, int index, const QVariantList& values);
    void setLanguages(QList<Language> languages) { m_languages = std::move(languages); }

    // Where the fake reads the status line at each call; the window harness sets it.
    void setStatusProbe(std::function<QString()> probe) { m_statusProbe = std::move(probe); }

    const QList<Record>& records() const { return m_records; }
    QStringList calls() const;   // "Item(int32:1000, ...)" for every call, in order
    QStringList members() const; // member names, in order
    // The calls other than the information and comment queries, which a window makes freely.
    QStringList commands() const;
    std::optional<Record> last(const QString& member) const;
    void clearRecords() { m_records.clear(); }

protected:
    QVariant intercept(DriverCall& call, const Forward& forward) override;

private:
    static QString key(const QString& member, std::optional<int> index = std::nullopt);
    std::optional<QVariant> takeAnswer(const DriverCall& call);

    QHash<QString, QVariant> m_fixed;
    QHash<QString, QQueue<QVariant>> m_queues;
    QList<Language> m_languages;
    std::function<QString()> m_statusProbe;
    QList<Record> m_records;
};
