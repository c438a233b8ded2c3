#pragma once

class QCoreApplication;

// Qt's own texts — the buttons of message boxes, the file and colour dialogs — in Japanese,
// like the rest of the program, whatever the user's locale.
namespace QtTranslations {

// Loads Qt's Japanese translations into the application; false when none could be found.
bool install(QCoreApplication &app);

} // namespace QtTranslations
