#pragma once

#include <QString>

#include <stdexcept>

// A runtime error inside a display step: the step reports it with its number, source and
// description, then stops the show.
class SlideshowError : public std::runtime_error
{
public:
    SlideshowError(int number, const QString &source, const QString &description)
        : std::runtime_error(description.toStdString())
        , number(number)
        , source(source)
        , description(description)
    { }

    int number;
    QString source;
    QString description;
};
