#pragma once

#include "core/Options.h"

#include <QString>

// Results of checkNumberRange.
enum NumberRangeCode {
    NumberValid = 0,
    NumberNotNumeric = 1,
    NumberBelowMinimum = 2,
    NumberAboveMaximum = 3,
    NumberZeroNotAllowed = 4,
};

// Checks a number typed into an option field. Bounds are inclusive and fractions are allowed;
// the text is numeric when the engine's own reading (Options::number) accepts it.
int checkNumberRange(const QString &value, double minimum, double maximum, bool zeroNotAllowed);

// How one number field of the option pages filters keys and checks its text on leaving.
struct NumberFieldRule
{
    Opt field;
    QString acceptedKeys; // empty: every key passes
    double minimum;
    double maximum;
    bool zeroNotAllowed;
    QString firstLine; // what is wrong
    QString secondLine; // what is expected
    bool holdsFocus; // an invalid text cannot be left
};

class NumberField
{
public:
    // The rule of a number field, or nullptr for any other option.
    static const NumberFieldRule *rule(Opt field);
    // Backspace always passes, as does every key of a field without a key filter.
    static bool acceptsKey(const NumberFieldRule &rule, QChar key);
    // The two-line message for an invalid text; empty when the text is valid.
    static QString invalidMessage(const NumberFieldRule &rule, const QString &text);
};
