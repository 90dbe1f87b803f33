#include "platform/filename.h"

namespace FileName {
namespace {

constexpr char16_t EscapeBase = 0xDC00;

// An escaped byte is a low surrogate of U+DC80..U+DCFF that no high surrogate pairs with; one
// that does is half of a character beyond U+FFFF.
bool isEscape(QStringView name, qsizetype index)
{
    const char16_t unit = name[index].unicode();
    return unit >= EscapeBase + 0x80 && unit <= EscapeBase + 0xFF &&
           (index == 0 || !name[index - 1].isHighSurrogate());
}

// The length of the UTF-8 sequence that a byte can start, or 0.
int sequenceLength(uchar lead)
{
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

// Hands the name to text() stretch by stretch and each escaped byte to byte(), in order.
template<typename Text, typename Byte>
void forEachPart(QStringView name, Text text, Byte byte)
{
    qsizetype start = 0;
    for (qsizetype index = 0; index < name.size(); ++index) {
        if (!isEscape(name, index))
            continue;
        text(name.sliced(start, index - start));
        byte(char(name[index].unicode() - EscapeBase));
        start = index + 1;
    }
    text(name.sliced(start));
}

bool hasEscape(QStringView name)
{
    for (qsizetype index = 0; index < name.size(); ++index) {
        if (isEscape(name, index))
            return true;
    }
    return false;
}

} // namespace

QByteArray encodeName(QStringView name)
{
    QByteArray bytes;
    forEachPart(
            name, [&bytes](QStringView text) { bytes += text.toUtf8(); },
            [&bytes](char byte) { bytes += byte; });
    return bytes;
}

QString decodeName(QByteArrayView bytes)
{
    if (bytes.isValidUtf8())
        return QString::fromUtf8(bytes);
    QString name;
    qsizetype start = 0;
    qsizetype index = 0;
    while (index < bytes.size()) {
        const int length = sequenceLength(uchar(bytes[index]));
        if (length > 0 && index + length <= bytes.size() &&
            bytes.sliced(index, length).isValidUtf8()) {
            index += length;
            continue;
        }
        name += QString::fromUtf8(bytes.sliced(start, index - start));
        name += QChar(char16_t(EscapeBase + uchar(bytes[index])));
        start = ++index;
    }
    name += QString::fromUtf8(bytes.sliced(start));
    return name;
}

QString displayName(QStringView name)
{
    if (!hasEscape(name))
        return name.toString();
    QString shown;
    forEachPart(
            name, [&shown](QStringView text) { shown += text; },
            [&shown](char byte) {
                shown += QLatin1String("\\x") + QString::number(uchar(byte), 16).toUpper();
            });
    return shown;
}

} // namespace FileName
