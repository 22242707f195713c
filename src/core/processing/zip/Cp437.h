#pragma once

#include <QByteArrayView>
#include <QString>

// Entry names without the UTF-8 flag are in the DOS code page 437.
QString decodeCp437(QByteArrayView bytes);
