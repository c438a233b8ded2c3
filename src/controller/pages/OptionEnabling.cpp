#include "controller/pages/OptionEnabling.h"

namespace {

bool isOn(const Options &options, Opt id)
{
    return Options::info(id).kind == OptionKind::Option ? options.option(id)
                                                        : options.isChecked(id);
}

} // namespace

const QList<OptionEnabling::Rule> &OptionEnabling::rules()
{
    static const QList<Rule> table {
        { QStringLiteral("cmbFixFormLocation"), Opt::chkFixForm },
        { QStringLiteral("txtFixX"), Opt::chkFixForm },
        { QStringLiteral("txtFixY"), Opt::chkFixForm },
        { QStringLiteral("cmdGetResentLocation"), Opt::chkFixForm },
        { QStringLiteral("txtMaxWidth"), Opt::chkMaxWidth },
        { QStringLiteral("cmdMaxWidth"), Opt::chkMaxWidth },
        { QStringLiteral("txtMaxHeight"), Opt::chkMaxHeight },
        { QStringLiteral("cmdMaxHeight"), Opt::chkMaxHeight },
        { QStringLiteral("chkFixHeightWidthRate"), Opt::chkStretchImage },
        { QStringLiteral("optNotSave"), Opt::chkNotConfirmSaveShiori },
        { QStringLiteral("optOverWrite"), Opt::chkNotConfirmSaveShiori },
        // The sort refinements belong to the order they refine.
        { QStringLiteral("chkSortDescending"), Opt::optSortByFileName },
        { QStringLiteral("chkSortFolderDepth"), Opt::optSortByFileName },
        { QStringLiteral("chkSortRandom"), Opt::optSortRandom },
    };
    return table;
}

bool OptionEnabling::isEnabled(const Options &options, const QString &control)
{
    for (const Rule &r : rules()) {
        if (r.control == control)
            return isOn(options, r.master);
    }
    return true;
}

bool OptionEnabling::isMaster(Opt id)
{
    for (const Rule &r : rules()) {
        if (r.master == id)
            return true;
    }
    return false;
}
