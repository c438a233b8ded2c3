#pragma once

class QWidget;

// The window a dialog of the program opens over: the window the user is looking at (the
// viewer during a show, a dialog already open) when one of the program's windows is active,
// else `fallback`. A dialog owned by a window stays above it, so that no question or file
// dialog opens hidden under the picture.
QWidget *dialogParent(QWidget *fallback);
// Puts `dialog` into the always-on-top band when its owner is there: a dialog outside the band
// would open beneath an always-on-top viewer.
void keepAboveOwner(QWidget *dialog);
