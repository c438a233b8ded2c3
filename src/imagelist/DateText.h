#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

// Date-time texts as the folder dialog takes them: year/month/day and an optional time, as in
// "01/4/13 8:45:00" (also with "-" or "." between the date's parts). The form is the Japanese
// one whatever the system's locale, so the dialog's defaults and its example always mean the
// same dates. A one- or two-digit year lies in 1930–2029, so "00/1/1 0:00:00" is the first
// second of 2000. A time alone falls on 1899-12-30, the day the file filter counts from.
class DateText
{
public:
    static std::optional<QDateTime> parse(const QString &text);
    // 0–29 → 2000–2029, 30–99 → 1930–1999.
    static int windowYear(int twoDigitYear);
};
