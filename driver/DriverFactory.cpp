#include "DriverFactory.h"

#include <QHash>

using namespace Qt::StringLiterals;

namespace {

QHash<QString, DriverCreator>& registry()
{
    static QHash<QString, DriverCreator> creators;
    return creators;
}

} // namespace

void registerDriver(const QString& progId, DriverCreator creator)
{
    if (creator)
        registry().insert(progId, std::move(creator));
    else
        registry().remove(progId);
}

DriverCreation createDriver(const QString& progId)
{
    const auto found = registry().constFind(progId);
    if (found == registry().cend())
        return {nullptr,
                u"Не удалось создать объект драйвера \"%1\": драйвер не зарегистрирован."_s.arg(
                    progId)};
    std::shared_ptr<Driver> driver = (*found)();
    if (!driver)
        return {nullptr, u"Не удалось создать объект драйвера \"%1\"."_s.arg(progId)};
    return {std::move(driver), {}};
}
