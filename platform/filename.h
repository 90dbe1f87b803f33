#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// A file name is bytes. Most are UTF-8, but a name copied from another system may not be, and
// QString alone cannot carry it. Here each byte that is not part of valid UTF-8 stands in the
// QString as a lone surrogate U+DC80..U+DCFF, so every name survives the trip through text.
namespace FileName {

// The bytes of a name or path, for the file system, the shell and the traces.
QByteArray encodeName(QStringView name);

// A name or path as the file system gives it; encodeName() gives the same bytes back.
QString decodeName(QByteArrayView bytes);

// The name as it can be shown: each byte that is not text written as \xHH.
QString displayName(QStringView name);

} // namespace FileName
