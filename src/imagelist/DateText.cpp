#include "imagelist/DateText.h"

#include <QRegularExpression>

namespace {

const QDate dayZero(1899, 12, 30);

std::optional<QTime> parseTime(const QString &text)
{
    static const QRegularExpression form(
        QStringLiteral(R"(^([0-9]{1,2}):([0-9]{1,2})(?::([0-9]{1,2}))?$)"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const QTime t(m.captured(1).toInt(), m.captured(2).toInt(),
                  m.hasCaptured(3) ? m.captured(3).toInt() : 0);
    return t.isValid() ? std::optional<QTime>(t) : std::nullopt;
}

std::optional<QDate> parseYearFirst(const QString &text)
{
    static const QRegularExpression form(
        QStringLiteral(R"(^([0-9]{1,2}|[0-9]{4})([/\-.])([0-9]{1,2})\2([0-9]{1,2})$)"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    int year = m.captured(1).toInt();
    if (m.captured(1).size() <= 2)
        year = DateText::windowYear(year);
    const QDate d(year, m.captured(3).toInt(), m.captured(4).toInt());
    return d.isValid() && year >= 100 ? std::optional<QDate>(d) : std::nullopt;
}

} // namespace

int DateText::windowYear(int twoDigitYear)
{
    return twoDigitYear < 30 ? 2000 + twoDigitYear : 1900 + twoDigitYear;
}

std::optional<QDateTime> DateText::parse(const QString &text)
{
    const QStringList parts = text.simplified().split(u' ', Qt::SkipEmptyParts);
    if (parts.size() == 1) {
        if (const auto d = parseYearFirst(parts[0]))
            return QDateTime(*d, QTime(0, 0));
        if (const auto t = parseTime(parts[0]))
            return QDateTime(dayZero, *t);
    } else if (parts.size() == 2) {
        const auto d = parseYearFirst(parts[0]);
        const auto t = parseTime(parts[1]);
        if (d && t)
            return QDateTime(*d, *t);
    }
    return std::nullopt;
}
