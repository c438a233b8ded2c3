#include "controller/pages/NumberCheck.h"

#include <array>
#include <cmath>
#include <limits>

int checkNumberRange(const QString &value, double minimum, double maximum, bool zeroNotAllowed)
{
    const QString t = value.trimmed();
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (t.isEmpty() || !ok || !std::isfinite(v))
        return NumberNotNumeric;
    if (v < minimum)
        return NumberBelowMinimum;
    if (v > maximum)
        return NumberAboveMaximum;
    if (v == 0 && zeroNotAllowed)
        return NumberZeroNotAllowed;
    return NumberValid;
}

namespace {

const QString digits = QStringLiteral("0123456789");
constexpr double anyDouble = std::numeric_limits<double>::max();

const std::array<NumberFieldRule, 10> &rules()
{
    static const std::array<NumberFieldRule, 10> table { {
        { Opt::txtMinutes, QString(), 0, 1.401298E+38, false,
          QStringLiteral("更新間隔の指定が正しくありません。"),
          QStringLiteral("0 以上の単精度浮動小数点数で指定して下さい。"), true },
        { Opt::txtZoomImage, QString(), 0, 10000, true,
          QStringLiteral("画像倍率の指定が正しくありません。"),
          QStringLiteral("0～10000の整数で指定して下さい。"), true },
        { Opt::txtMaxWidth, digits, 1, 32767, false,
          QStringLiteral("横幅の最大値の指定が正しくありません。"),
          QStringLiteral("1～ 32767の整数で指定して下さい。"), true },
        { Opt::txtMaxHeight, digits, 1, 32767, false,
          QStringLiteral("高さの最大値の指定が正しくありません。"),
          QStringLiteral("1～ 32767の整数で指定して下さい。"), true },
        { Opt::txtFixX, digits + u'-', -32768, 32767, false,
          QStringLiteral("X座標の指定が正しくありません。"),
          QStringLiteral("-32768～ 32767の整数で指定して下さい。"), true },
        { Opt::txtFixY, digits + QStringLiteral("-."), -32768, 32767, false,
          QStringLiteral("Y座標の指定が正しくありません。"),
          QStringLiteral("-32768～ 32767の整数で指定して下さい。"), true },
        // The movie speeds are reported but may be left as typed.
        { Opt::txtMp_FastForward, QString(), -anyDouble, anyDouble, false,
          QStringLiteral("早送りの早さの指定が正しくありません。"),
          QStringLiteral("倍精度浮動小数点数で指定して下さい。"), false },
        { Opt::txtMp_FastReverse, QString(), -anyDouble, anyDouble, false,
          QStringLiteral("巻き戻しの早さの指定が正しくありません。"),
          QStringLiteral("倍精度浮動小数点数で指定して下さい。"), false },
        { Opt::txtBGM_PlayCount, digits, 0, 32767, false,
          QStringLiteral("再生回数の指定が正しくありません。"),
          QStringLiteral("0 ～ 32767の整数を指定して下さい。"), true },
        { Opt::txtBGM_StartingEntry, digits, 1, 32767, false,
          QStringLiteral("曲の番号の指定が正しくありません。"),
          QStringLiteral("1 ～ 32767の整数を指定して下さい。"), true },
    } };
    return table;
}

} // namespace

const NumberFieldRule *NumberField::rule(Opt field)
{
    for (const NumberFieldRule &r : rules()) {
        if (r.field == field)
            return &r;
    }
    return nullptr;
}

bool NumberField::acceptsKey(const NumberFieldRule &rule, QChar key)
{
    return rule.acceptedKeys.isEmpty() || key == u'\b' || rule.acceptedKeys.contains(key);
}

QString NumberField::invalidMessage(const NumberFieldRule &rule, const QString &text)
{
    if (checkNumberRange(text, rule.minimum, rule.maximum, rule.zeroNotAllowed) == NumberValid)
        return QString();
    return rule.firstLine + QStringLiteral("\r\n") + rule.secondLine;
}
