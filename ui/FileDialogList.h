#pragma once

#include <QIdentityProxyModel>

namespace forms {

// The file list of the program's file dialogs in the program's language. Qt's dialog writes a
// file's size, kind and date in the system's locale, whatever the program's own: under an English
// system "Folder", "924 bytes" and "9 Dec 2026". This list writes them in Russian, sizes with a
// decimal point as every number the program shows.
class FileDialogList : public QIdentityProxyModel
{
    Q_OBJECT

public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
};

// A size as the file list writes it: "924 байт", "2.00 КБ".
QString fileSizeText(qint64 bytes);

} // namespace forms
