// The pictures loaded into the device, kept by slot beside the state record: the record is
// written at every call, a picture only when it is loaded or deleted.

#include "DeviceStore.h"

#include "DeviceStoreDatabase.h"
#include "Pictures.h"

namespace emulator {

Expected<QMap<int, Raster>> DeviceStore::Database::loadPictures()
{
    using Loaded = Expected<QMap<int, Raster>>;
    constexpr qint64 kMaxBytes = qint64(kPrintWidthDots + 7) / 8 * kMaxPictureHeightDots;
    // The sizes are checked before any dots are read: a damaged row cannot make the device
    // allocate what it claims.
    QSqlQuery query(db);
    query.prepare(u"SELECT slot, width, height, length(dots),"
                  u" CASE WHEN length(dots) <= ? THEN dots END FROM pictures ORDER BY slot"_s);
    query.bindValue(0, kMaxBytes);
    if (!query.exec())
        return Loaded(storageError(), query.lastError().text());
    QMap<int, Raster> pictures;
    while (query.next()) {
        const qint64 slot = query.value(0).toLongLong();
        const qint64 width = query.value(1).toLongLong();
        const qint64 height = query.value(2).toLongLong();
        const qint64 bytes = query.value(3).toLongLong();
        const bool sane = slot >= 1 && slot <= DeviceState::kMaxPictureSlot && width >= 1 &&
                          width <= kPrintWidthDots && height >= 1 &&
                          height <= kMaxPictureHeightDots && bytes == (width + 7) / 8 * height;
        if (!sane)
            return Loaded(damaged(),
                          u"the picture in slot %1 of %2 cannot be read"_s.arg(slot).arg(path));
        Raster picture;
        picture.width = int(width);
        picture.height = int(height);
        picture.bits = query.value(4).toByteArray();
        pictures.insert(int(slot), std::move(picture));
    }
    return pictures;
}

Status DeviceStore::Database::savePictures(const QMap<int, std::optional<Raster>>& changes)
{
    QSqlQuery put(db);
    QSqlQuery remove(db);
    if (!put.prepare(u"INSERT OR REPLACE INTO pictures(slot, width, height, dots)"
                     u" VALUES (?, ?, ?, ?)"_s) ||
        !remove.prepare(u"DELETE FROM pictures WHERE slot = ?"_s))
        return Status(storageError(), db.lastError().text());
    for (auto it = changes.cbegin(); it != changes.cend(); ++it) {
        QSqlQuery& query = it.value() ? put : remove;
        query.bindValue(0, it.key());
        if (const std::optional<Raster>& picture = it.value()) {
            query.bindValue(1, picture->width);
            query.bindValue(2, picture->height);
            query.bindValue(3, picture->bits);
        }
        if (Status s = write(query); !s)
            return s;
    }
    return Done{};
}

} // namespace emulator
