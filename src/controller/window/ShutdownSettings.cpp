#include "controller/window/ShutdownSettings.h"

#include "core/SettingKeys.h"
#include "core/SettingProfiles.h"
#include "core/SettingsStore.h"

namespace {
QString boolText(bool b)
{
    return b ? QStringLiteral("True") : QStringLiteral("False");
}
} // namespace

bool ShutdownSettings::write(SettingsStore &store, SettingProfiles &profiles) const
{
    using namespace SettingKeys;
    SettingsStore::Batch batch(store);
    bool ok = true;
    if (lastFile)
        ok &= store.SaveSetting(Section::Jump, Jump::LastFile, *lastFile);
    ok &= profiles.transferSettingProfile(false, profileName);
    ok &= store.SaveSetting(Section::Main, Main::SettingList, profileList);
    for (int i = 0; i < columnWidths.size(); ++i)
        ok &= store.SaveSetting(Section::ListWindow, ListWindow::column(i + 1),
                                QString::number(columnWidths[i]));
    ok &= store.SaveSetting(Section::Main, Main::SettingName, profileName);
    ok &= store.SaveSetting(Section::Main, Main::ShowMoviebar, boolText(showMoviebar));
    ok &= store.SaveSetting(Section::Main, Main::ShowPlayer, boolText(showPlayer));
    ok &= store.SaveSetting(Section::Main, Main::ShowSetting, boolText(showSetting));
    ok &= store.SaveSetting(Section::Main, Main::FixBottom, boolText(fixBottom));
    ok &= store.SaveSetting(Section::Main, Main::AlwaysOnTop, boolText(alwaysOnTop));
    if (controllerTopLeft) {
        ok &= store.SaveSetting(Section::Main, Top, QString::number(controllerTopLeft->y()));
        ok &= store.SaveSetting(Section::Main, Left, QString::number(controllerTopLeft->x()));
    }
    ok &= store.SaveSetting(Section::Main, Main::Tab, QString::number(tab));
    if (viewerRect) {
        ok &= store.SaveSetting(Section::Viewer, Top, QString::number(viewerRect->top()));
        ok &= store.SaveSetting(Section::Viewer, Left, QString::number(viewerRect->left()));
        ok &= store.SaveSetting(Section::Viewer, Width, QString::number(viewerRect->width()));
        ok &= store.SaveSetting(Section::Viewer, Height, QString::number(viewerRect->height()));
    }
    return batch.commit() && ok;
}
