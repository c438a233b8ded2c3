#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <vector>

double median(std::vector<double> v);
// A photo-like picture: soft gradients and grain.
QImage photo(QSize size);
// That picture saved as a JPEG at quality 90; returns the path.
QString makeJpeg(const QString &path, QSize size);
// A field of /proc/self/status in MiB ("VmHWM" the peak, "VmRSS" the current resident size).
double statusMiB(const char *field);
