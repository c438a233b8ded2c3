#include "core/ColorHex.h"

QString colorToHex(const QColor &color)
{
    auto hex = [](int v) {
        return QString::number(v, 16).toUpper().rightJustified(2, u'0');
    };
    return hex(color.red()) + hex(color.green()) + hex(color.blue());
}

bool hexToColor(const QString &text, QColor &color)
{
    if (text.size() != 6)
        return false;
    for (const QChar c : text) {
        if (!isxdigit(c.toLatin1()) || c.unicode() > 0x7f)
            return false;
    }
    color = QColor(text.left(2).toInt(nullptr, 16), text.mid(2, 2).toInt(nullptr, 16),
                   text.right(2).toInt(nullptr, 16));
    return true;
}
